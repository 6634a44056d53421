#pragma once

class QWidget;

// Window placement shared by the main window and the folder picker.
namespace Commands {

// Centres the window horizontally and within the upper 85 % of the screen; never at a negative position.
void CenterForm(QWidget* form);

// Keeps the window above ordinary windows without moving or resizing it.
void SetTopmost(QWidget* form);

}  // namespace Commands
