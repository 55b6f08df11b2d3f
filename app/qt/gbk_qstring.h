// GBK text of the core to and from Qt's strings, at the frame's boundary.
#pragma once

#include <string_view>

#include <QString>

#include "progress/text.h"

// A byte that does not start a valid GBK character shows as U+FFFD.
QString qstring_from_gbk(std::string_view gbk);
// A character GBK cannot spell becomes '?', as on Windows.
Text gbk_from_qstring(const QString& text);
