// Whether a typed name can stand alone as a file name inside its folder on the users' systems:
// a contract's number names its document, a template's name its file in `models`. A name that
// could reach out of the folder, or that the system refuses, is turned away before any file is
// opened.
#pragma once

#include <QString>

namespace platform {

// The message when the name cannot serve (a path separator, "." or "..", a character file
// names refuse, a trailing point or space, a reserved device name), empty otherwise. what
// names the thing in the message ("Le modèle de contrat").
QString fileNameProblem(const QString& name, const QString& what);

}  // namespace platform
