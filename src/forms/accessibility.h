// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QAbstractButton;
class QWidget;

// What screen readers and the keyboard get beyond what the windows show.
namespace Forms {

// The focus sink stays a widget that can hold the focus from code, but Tab passes it by and assistive
// technology sees it as never showing, with no name and no actions. Call it after the window's tab order is
// set: a widget that takes no focus is left out of setTabOrder.
void ParkFocusOutOfSight(QWidget* sink);

// Enter and Return press the button while it has the focus, as Space does, without making it a default
// button (which would change how it is drawn).
void PressOnEnter(QAbstractButton* button);

}  // namespace Forms
