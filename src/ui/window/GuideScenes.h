// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Scenes for pictures of the window (the guide's screenshots): a problem set
// up and run through the window's own buttons before it is shown, so a
// picture taken with --screenshot shows the lab as a student sees it.

#include <string>
#include <vector>

class QWidget;

namespace tamrel {

class frmTamrel;

// The scene names, in the order the guide shows them.
std::vector<std::string> guideSceneNames();
// Sets `window` up as scene `name`; false for a name that is no scene.
bool playGuideScene(frmTamrel& window, const std::string& name);
// What the scene's picture shows: the main window, or for "sheet" the lab
// sheet's own window.
QWidget& guideSceneSubject(frmTamrel& window, const std::string& name);

} // namespace tamrel
