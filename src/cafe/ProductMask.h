#pragma once
// Product masks: one character per product slot, '0' for an empty slot ("0000" is a plate with
// nothing on it). The empty string is no mask at all - an empty hand - and never fits anything.
// Item words ("wash", "super", "sit") travel in the same field and are compared by the same rules.

#include <string>

// Whether the two products can share one plate: both are masks of the same length and no slot is
// taken in both.
bool MasksFit(const std::string& a, const std::string& b);

// The two products on one plate: `a` with every slot that `b` fills taken from `b`; either one
// alone when the other is empty. Meant for masks that fit; with different lengths only the slots
// both have are merged.
std::string MergeMasks(const std::string& a, const std::string& b);

// Whether a customer in the cafe would take the product: the first whose order it is (or who takes
// anything for "super") answers.
bool IsMaskWanted(const std::string& mask);
