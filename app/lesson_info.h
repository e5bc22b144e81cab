#pragma once
// A saved lesson described in text: every record with its fields and its
// text-list entry, then counts per kind, the bounding box and the texts.
#include <string>

#include "records/pointer_file.h"

// UTF-8 text, one record per line, then the summary.
std::string DescribeLesson(const datafile::PointerData& lesson);
