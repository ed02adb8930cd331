// UTF-8 text streams on standard output and standard error for the admin tool.
#pragma once

#include <QTextStream>

namespace tv::admin {

QTextStream& out();
QTextStream& err();

}  // namespace tv::admin
