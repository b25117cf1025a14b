#pragma once
// Prints a report file in newspaper columns: the Qt-free layout places the lines, this paints
// them with the page furniture (title, rules, "Strona %d z %d").

#include <QString>
#include <string>

class QPrinter;

namespace ulvo {

// Empty on success, else the message.
std::string PrintReportFile(QPrinter& printer, const QString& path, const QString& title);

}  // namespace ulvo
