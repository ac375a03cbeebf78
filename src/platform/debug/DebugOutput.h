#pragma once
// The debugger's output channel. There is no debugger to attach to, so the text goes to stderr as it
// stands (no line end is added).

void OutputDebugStringA(const char* text);
