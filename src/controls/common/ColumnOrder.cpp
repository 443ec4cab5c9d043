#include "controls/common/ColumnOrder.h"

#include "controls/common/LogicalOrder.h"
#include "shell/PathUtils.h"

#include <algorithm>
#include <numeric>

namespace {

// The texts a column orders by: the names for the name column.
std::vector<const std::wstring*> PrimaryTexts(const std::vector<TColumnValue>& values,
                                              TColumnValueKind kind)
{
    std::vector<const std::wstring*> texts;
    texts.reserve(values.size());
    for (const TColumnValue& value : values)
        texts.push_back(kind == TColumnValueKind::Text ? &value.Text : &value.Name);
    return texts;
}

std::vector<const std::wstring*> Names(const std::vector<TColumnValue>& values)
{
    return PrimaryTexts(values, TColumnValueKind::Name);
}

// The folder's answer, -1, 0 or 1; 0 when it fails.
int FolderCompare(IShellFolder* folder, int column, TBorrowedIDList first, TBorrowedIDList second)
{
    const HRESULT result = folder->CompareIDs(static_cast<LPARAM>(column), first, second);
    if (FAILED(result))
        return 0;
    const short code = static_cast<short>(HRESULT_CODE(result));
    return code < 0 ? -1 : (code > 0 ? 1 : 0);
}

// Orders the runs of `order` whose entries are equal by the column (`same`) by name.
template <class Same>
void OrderTiesByName(const std::vector<TColumnValue>& values, int direction, Same same,
                     std::vector<size_t>& order)
{
    std::vector<std::pair<size_t, size_t>> runs;
    std::vector<const std::wstring*> tiedNames;
    std::vector<size_t> tied;
    for (size_t start = 0; start < order.size();) {
        size_t end = start + 1;
        while (end < order.size() && same(order[start], order[end]))
            ++end;
        if (end - start > 1) {
            runs.emplace_back(start, end);
            for (size_t place = start; place < end; ++place) {
                tied.push_back(order[place]);
                tiedNames.push_back(&values[order[place]].Name);
            }
        }
        start = end;
    }
    if (runs.empty())
        return;
    // Keys for the tied entries only, made at once so that they share one character ranking.
    const std::vector<std::string> tiedKeys = LogicalSortKeys(tiedNames);
    std::vector<const std::string*> keys(values.size(), nullptr);
    for (size_t index = 0; index < tied.size(); ++index)
        keys[tied[index]] = &tiedKeys[index];
    const std::vector<const std::wstring*> names = Names(values);
    for (const auto& [start, end] : runs) {
        const auto first = order.begin() + static_cast<std::ptrdiff_t>(start);
        const auto last = order.begin() + static_cast<std::ptrdiff_t>(end);
        std::stable_sort(first, last, [&](size_t one, size_t other) {
            return direction > 0 ? *keys[one] < *keys[other] : *keys[other] < *keys[one];
        });
        ConfirmLogicalOrder(names, direction, first, last);
    }
}

}  // namespace

std::vector<size_t> OrderByColumnValues(const std::vector<TColumnValue>& values,
                                        TColumnValueKind kind, int direction)
{
    std::vector<size_t> order(values.size());
    std::iota(order.begin(), order.end(), size_t{0});
    const bool numbers = kind == TColumnValueKind::Number;
    const std::vector<const std::wstring*> texts = PrimaryTexts(values, kind);
    std::vector<std::string> keys;
    if (!numbers)
        keys = LogicalSortKeys(texts);
    auto before = [&](size_t one, size_t other) {
        if (values[one].Folder != values[other].Folder)
            return values[one].Folder;
        if (numbers)
            return values[one].Number < values[other].Number;
        return keys[one] < keys[other];
    };
    std::stable_sort(order.begin(), order.end(), [&](size_t one, size_t other) {
        return direction > 0 ? before(one, other) : before(other, one);
    });
    if (!numbers) {
        // Folders and the rest apart: between them the texts are not compared.
        const auto split = std::find_if(order.begin(), order.end(), [&](size_t index) {
            return values[index].Folder != values[order.front()].Folder;
        });
        ConfirmLogicalOrder(texts, direction, order.begin(), split);
        ConfirmLogicalOrder(texts, direction, split, order.end());
    }
    if (kind == TColumnValueKind::Name)
        return order;
    OrderTiesByName(
        values, direction,
        [&](size_t one, size_t other) {
            if (values[one].Folder != values[other].Folder)
                return false;
            return numbers ? values[one].Number == values[other].Number : keys[one] == keys[other];
        },
        order);
    return order;
}

bool FolderConfirmsOrder(IShellFolder* folder, int column,
                         const std::vector<TBorrowedIDList>& objects,
                         const std::vector<size_t>& order, int direction)
{
    for (size_t place = 1; place < order.size(); ++place) {
        const size_t before = order[place - 1];
        const size_t after = order[place];
        const HRESULT result =
            folder->CompareIDs(static_cast<LPARAM>(column), objects[before], objects[after]);
        if (FAILED(result))
            return false;
        const int compare = static_cast<short>(HRESULT_CODE(result)) * direction;
        if (compare > 0 || (compare == 0 && before > after))
            return false;
    }
    return true;
}

TColumnComparer ProbeFolderComparison(IShellFolder* folder, int column,
                                      const std::vector<TBorrowedIDList>& objects,
                                      const std::vector<TColumnValue>& values,
                                      TColumnValueKind kind)
{
    if (folder == nullptr || objects.size() != values.size() || values.size() < 2)
        return TColumnComparer::Probe;
    const bool numbers = kind == TColumnValueKind::Number;
    const std::vector<const std::wstring*> texts = PrimaryTexts(values, kind);
    std::vector<std::string> keys;
    if (!numbers)
        keys = LogicalSortKeys(texts);
    std::vector<size_t> order(values.size());
    std::iota(order.begin(), order.end(), size_t{0});
    // By the column's values, and where they are equal by the folder's own name order: then a
    // pair of neighbours shows it wherever values and names disagree among the objects.
    auto primary = [&](size_t one, size_t other) {
        if (numbers)
            return values[one].Number < values[other].Number
                       ? -1
                       : (values[other].Number < values[one].Number ? 1 : 0);
        return keys[one].compare(keys[other]);
    };
    std::stable_sort(order.begin(), order.end(), [&](size_t one, size_t other) {
        if (values[one].Folder != values[other].Folder)
            return values[one].Folder;
        if (const int compare = primary(one, other); compare != 0)
            return compare < 0;
        return kind != TColumnValueKind::Name &&
               FolderCompare(folder, 0, objects[one], objects[other]) < 0;
    });
    for (size_t place = 1; place < order.size(); ++place) {
        const size_t first = order[place - 1];
        const size_t second = order[place];
        if (values[first].Folder != values[second].Folder || primary(first, second) >= 0)
            continue;
        // Texts whose keys differ, as the logical order itself has them.
        if (!numbers && CompareNames(*texts[first], *texts[second]) >= 0)
            continue;
        if (kind == TColumnValueKind::Name) {
            // Names the logical order and a plain order put the other way round.
            const int plain =
                CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, texts[first]->c_str(), -1,
                               texts[second]->c_str(), -1) -
                CSTR_EQUAL;
            if (plain <= 0)
                continue;
            const int byFolder = FolderCompare(folder, 0, objects[first], objects[second]);
            if (byFolder != 0)
                return byFolder < 0 ? TColumnComparer::Folder : TColumnComparer::Values;
            continue;
        }
        // Values in one order, names in the other: the column's answer tells which it follows.
        if (FolderCompare(folder, 0, objects[first], objects[second]) <= 0)
            continue;
        const int byColumn = FolderCompare(folder, column, objects[first], objects[second]);
        if (byColumn != 0)
            return byColumn < 0 ? TColumnComparer::Folder : TColumnComparer::Values;
    }
    return TColumnComparer::Probe;
}
