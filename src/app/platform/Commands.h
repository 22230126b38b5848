#pragma once

#include <QIcon>
#include <QKeySequence>

class QAction;
class QWidget;

namespace qv::app {

// The desktop's keys for a standard command, or FALLBACK where its scheme has none: a
// Linux session outside GNOME and KDE has no "Save As", for one.
void setStandardShortcut(QAction* action, QKeySequence::StandardKey key,
                         const QKeySequence& fallback);

// ICON with a disabled form that plainly looks disabled: grey and faint. The style's
// own disabled form of the standard icons keeps most of their colour, so a toolbar
// button whose command is off looks as live as the others.
QIcon commandIcon(const QIcon& icon);

// TEXT with a mnemonic mark before its first letter or digit that TAKEN (lower case)
// does not hold yet, which then takes it; TEXT as it is when every one is taken. For the
// entries of a menu made from a list of names.
QString withMnemonic(const QString& text, QString& taken);

// Shows WINDOW, brings it in front of the program's other windows and gives it the
// keyboard.
void showInFront(QWidget* window);

}  // namespace qv::app
