// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window's controls as one table: kind, name, caption or initial text,
// position in twips (left, top, width, height), font and tool tip, in the
// order they are created (a later control lies above an earlier one it
// overlaps). The panels find their controls in it by name.

#include <span>

class QFont;
class QWidget;

namespace tamrel {

enum class ControlKind {
    LinePlot, // LinePlotPicture: a line plot's persistent drawing surface
    SpaceTime, // SpaceTimePicture: the gray space-time image
    Label,
    Box, // a one-line text box
    Button, // a PictureButton (a picture may sit behind its caption)
    List, // the space-time variable list
    VScroll,
    HScroll,
};

// The lab's faces: "MS Sans Serif" at 8.25, 9.75 (bold or plain) and 13.5
// points, "Arial" at 14.25 and 18 points, and the narrow 7-point face of the
// tall FVSmoke button. Default leaves the platform's font.
enum class Face { Default, SansSmall, SansBody, SansBodyPlain, SansButton, ArialCaption, ArialTest, Narrow };

// How a caption sits in its control.
enum Look : unsigned {
    Plain = 0,
    Centred = 1, // centred both ways
    Wrapped = 2, // wraps onto several lines
    TopLeftWrapped = 4, // wraps, from the top left corner
    OneLetterPerLine = 8, // a tall, narrow button: one letter to a line
    Elided = 16, // one line; what does not fit ends in "...", the whole text in the tool tip
};

struct ControlSpec {
    ControlKind kind;
    const char* name;
    const char* caption;
    int left, top, width, height; // twips
    Face face;
    const char* toolTip; // "" for none
    unsigned look = Plain;
};

std::span<const ControlSpec> windowLayout();

// The items of the space-time variable list, in their order.
std::span<const char* const> grayVariableItems();

// Creates every control of the table in order, as children of `window`,
// named as the table names them. Scroll bars start with the range 0..32767
// until the control refresh sets theirs.
void buildControls(QWidget& window);

// A face at its size in points, set in pixels at 96 dots per inch so the
// layout does not depend on the screen's reported resolution.
QFont labFont(Face face);

} // namespace tamrel
