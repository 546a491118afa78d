// The interface speaks French: Qt's own texts (file chooser, message box buttons, calendar,
// context menus) from Qt's French translation, and French as the default locale so that every
// date and number Qt formats reads the French way.
#pragma once

#include <QString>

class QCoreApplication;

namespace platform {

// Where Qt's translations are looked for, in order: the folder Qt was installed with, then a
// "translations" folder beside the executable (where a Windows installation puts them).
QStringList translationFolders();

// Sets the French locale as the default and installs Qt's French translation. Returns false
// when no translation file was found: the interface then keeps Qt's English texts.
bool installFrenchInterface(QCoreApplication& application);

}  // namespace platform
