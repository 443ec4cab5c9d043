#pragma once
// Which of a folder's details columns the shell list shows, and in what order.
#include "shell/Nautilex.h"

#include <string>
#include <vector>

struct TShellListColumn {
    int Details;  // the folder's details column
    std::wstring Caption;
    TColumnAlignment Alignment;
    int Width;  // as the folder gives it
};

// Details columns asked of a folder at most: more than any folder has, and a folder that
// answers a header for every number still ends.
inline constexpr int kMaxDetailsColumns = 1024;

// Walks the details columns of `source` (DetailsText and ColumnInfo as TNautilex has them)
// from column 0 while the headers are not empty, keeping those the folder shows by default
// (width above 0), at most `limit`; only column 0 unless `allDetails`.
template <class Source>
std::vector<TShellListColumn> CollectShownColumns(Source& source, bool allDetails, int limit)
{
    std::vector<TShellListColumn> columns;
    for (int details = 0; details < kMaxDetailsColumns && static_cast<int>(columns.size()) < limit;
         ++details) {
        std::wstring caption = source.DetailsText(details, true);
        if (details > 0 && caption.empty())
            break;
        int width = 0;
        const TColumnAlignment alignment = source.ColumnInfo(details, width);
        if (width > 0)
            columns.push_back({details, std::move(caption), alignment, width});
        if (!allDetails)
            break;
    }
    return columns;
}
