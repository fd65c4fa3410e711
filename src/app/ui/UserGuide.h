#pragma once
// The user guide the Help menu (F1) shows: HTML built into the program.

namespace tamrel {

const char* userGuideHtml();

} // namespace tamrel
