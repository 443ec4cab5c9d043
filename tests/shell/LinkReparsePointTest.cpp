#include "shell/PathUtils.h"

#include <gtest/gtest.h>

namespace {

// Tags not every header names.
const DWORD kWslSymlinkTag = 0xA000001D;

TEST(LinkReparsePointTest, OnlyNameSurrogatesAreLinks)
{
    const DWORD folder = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
    const DWORD file = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_REPARSE_POINT;
    struct TRow {
        const char* name;
        DWORD attributes;
        DWORD tag;
        bool link;
    };
    const TRow rows[] = {
        {"junction", folder, IO_REPARSE_TAG_MOUNT_POINT, true},
        {"directory symbolic link", folder, IO_REPARSE_TAG_SYMLINK, true},
        {"file symbolic link", file, IO_REPARSE_TAG_SYMLINK, true},
        {"WSL symbolic link", file, kWslSymlinkTag, true},
        {"cloud folder", folder, IO_REPARSE_TAG_CLOUD_3, false},
        {"cloud file", file | FILE_ATTRIBUTE_OFFLINE, IO_REPARSE_TAG_CLOUD, false},
        {"OneDrive file", file, IO_REPARSE_TAG_ONEDRIVE, false},
        {"projected folder", folder, IO_REPARSE_TAG_PROJFS, false},
        {"deduplicated file", file, IO_REPARSE_TAG_DEDUP, false},
        {"compressed system file", file, IO_REPARSE_TAG_WOF, false},
        {"app execution alias", file, IO_REPARSE_TAG_APPEXECLINK, false},
        {"single-instance file", file, IO_REPARSE_TAG_SIS, false},
        // Wine shows host links as reparse points without a tag.
        {"reparse point without a tag", folder, 0, true},
        // A tag means nothing without the reparse attribute.
        {"plain folder", FILE_ATTRIBUTE_DIRECTORY, IO_REPARSE_TAG_SYMLINK, false},
        {"plain file", FILE_ATTRIBUTE_NORMAL, 0, false},
        {"no attributes", INVALID_FILE_ATTRIBUTES, IO_REPARSE_TAG_MOUNT_POINT, false},
    };
    for (const TRow& row : rows) {
        EXPECT_EQ(IsLinkReparsePoint(row.attributes, row.tag), row.link) << row.name;
        WIN32_FIND_DATAW data{};
        data.dwFileAttributes = row.attributes;
        data.dwReserved0 = row.tag;
        EXPECT_EQ(IsLinkEntry(data), row.link) << row.name;
    }
}

}  // namespace
