// The monitoring figures of `status --json` and `check-updates --json`: the status item's
// totals and decision, the logos' sizes and levels, and the browsers' update advice.
#pragma once

#include "cli/Json.h"
#include "core/monitor/BrowserUpdateAdvice.h"

namespace qz {

class FileManager;
class FolderSizes;

// {"threshold", "totals", "icon", "menu"}, measured now with the stored threshold; folder
// totals come from `sizes`.
Json monitorJson(const FileManager& files, FolderSizes& sizes);
// Per browser {"bytes", "level"} of its logo.
Json logosJson(const FileManager& files, FolderSizes& sizes);
// Per browser {"installed", "published", "key", "advice"} against the given list.
Json browserUpdatesJson(const FileManager& files, const VersionList& list);

}  // namespace qz
