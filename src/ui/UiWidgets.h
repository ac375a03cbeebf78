#pragma once

// Lets the dialog builder make the nine UI widget types: "qctext", "qcbutton", "qcbar", "qcanim",
// "qcedit", "qclist", "qcscroll", "qccheckbox" and "qcslider". Called once at start-up.
void RegisterUiWidgetCreators();
