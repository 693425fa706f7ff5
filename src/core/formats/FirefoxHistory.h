// Firefox's history inside places.sqlite, where the bookmarks live too: what goes (visits,
// typed input, page metadata, the download list, pages no bookmark or keyword needs, their
// annotations and origins) and what stays (bookmarks, keywords, tags and their pages, without
// visit data).
#pragma once

#include "core/formats/DatabaseEdit.h"

namespace qz {

// The edit for places.sqlite. Its survey counts "visits" and "pages"; its change reports
// "visits", "pages", "input entries", "page metadata", "annotations" and "origins".
DatabaseEdit firefoxHistoryEdit();

}  // namespace qz
