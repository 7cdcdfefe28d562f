#include "platform/kernel/Files.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <future>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "tests/fixtures/DeviceRoot.h"

namespace {

using fixtures::DeviceRoot;

HANDLE open_file(const char16_t* path, DWORD access, DWORD creation, DWORD share = FILE_SHARE_READ) {
    return CreateFileW(path, access, share, nullptr, creation, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_RANDOM_ACCESS, nullptr);
}

std::string read_all(HANDLE h) {
    std::string out(256, '\0');
    DWORD n = 0;
    EXPECT_TRUE(ReadFile(h, out.data(), static_cast<DWORD>(out.size()), &n, nullptr));
    out.resize(n);
    return out;
}

void write_text(HANDLE h, const std::string& text) {
    DWORD n = 0;
    EXPECT_TRUE(WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &n, nullptr));
    EXPECT_EQ(n, text.size());
}

TEST(KernelFiles, OpenModesCreateTruncateKeepAndReportLastError) {
    DeviceRoot box;
    fixtures::write_file(box.host("old.txt"), "12345");
    struct Case {
        const char16_t* path;
        DWORD access;
        DWORD creation;
        bool opens;
        DWORD error;
        std::string content_after;  // host content after open and close
    } cases[] = {
        {u"\\missing.txt", GENERIC_READ, OPEN_EXISTING, false, ERROR_FILE_NOT_FOUND, ""},
        {u"\\no\\such\\folder.txt", GENERIC_READ, OPEN_EXISTING, false, ERROR_PATH_NOT_FOUND, ""},
        {u"\\no\\such\\folder.txt", GENERIC_WRITE, CREATE_ALWAYS, false, ERROR_PATH_NOT_FOUND, ""},
        {u"\\old.txt", GENERIC_READ, OPEN_EXISTING, true, ERROR_SUCCESS, "12345"},
        {u"\\old.txt", GENERIC_WRITE, OPEN_ALWAYS, true, ERROR_ALREADY_EXISTS, "12345"},
        {u"\\old.txt", GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS, true, ERROR_ALREADY_EXISTS, "12345"},
        {u"\\old.txt", GENERIC_WRITE, CREATE_ALWAYS, true, ERROR_ALREADY_EXISTS, ""},
        {u"\\new1.txt", GENERIC_WRITE, CREATE_ALWAYS, true, ERROR_SUCCESS, ""},
        {u"\\new2.txt", GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS, true, ERROR_SUCCESS, ""},
        {u"\\", GENERIC_READ, OPEN_EXISTING, false, ERROR_ACCESS_DENIED, ""},
        {u"", GENERIC_READ, OPEN_EXISTING, false, ERROR_PATH_NOT_FOUND, ""},
    };
    for (const Case& c : cases) {
        std::string name = std::filesystem::path(std::u16string(c.path)).string();
        SetLastError(12345);
        HANDLE h = open_file(c.path, c.access, c.creation);
        EXPECT_EQ(h != INVALID_HANDLE_VALUE, c.opens) << name;
        EXPECT_EQ(GetLastError(), c.error) << name;
        if (h != INVALID_HANDLE_VALUE) {
            EXPECT_TRUE(CloseHandle(h));
            std::string relative = name.substr(1);
            EXPECT_EQ(fixtures::read_file(box.host(relative)), c.content_after) << name;
        }
    }
    EXPECT_FALSE(std::filesystem::exists(box.host("missing.txt")));
}

TEST(KernelFiles, UnsupportedArgumentsAreRefused) {
    DeviceRoot box;
    fixtures::write_file(box.host("a.txt"), "x");
    EXPECT_EQ(CreateFileW(u"\\a.txt", GENERIC_READ, FILE_SHARE_READ, nullptr, 1 /* CREATE_NEW */, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(CreateFileW(u"\\a.txt", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0x40000000, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(open_file(u"\\a.txt", 0, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(KernelFiles, ShareReadLetsReadersMeetButNotWriters) {
    DeviceRoot box;
    fixtures::write_file(box.host("s.bin"), "content");
    HANDLE reader = open_file(u"\\s.bin", GENERIC_READ, OPEN_EXISTING);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    HANDLE second_reader = open_file(u"\\S.BIN", GENERIC_READ, OPEN_EXISTING);
    EXPECT_NE(second_reader, INVALID_HANDLE_VALUE);
    CloseHandle(second_reader);

    // A writer is refused while a reader holds the file, and the refused
    // create-always must not have truncated it.
    EXPECT_EQ(open_file(u"\\s.bin", GENERIC_WRITE, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    EXPECT_EQ(fixtures::read_file(box.host("s.bin")), "content");
    EXPECT_FALSE(DeleteFileW(u"\\s.bin"));
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    CloseHandle(reader);

    HANDLE writer = open_file(u"\\s.bin", GENERIC_WRITE, OPEN_ALWAYS);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    EXPECT_EQ(open_file(u"\\s.bin", GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    EXPECT_EQ(open_file(u"\\s.bin", GENERIC_WRITE, OPEN_ALWAYS), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    // A reader that shares writing may join a writer that shares reading.
    HANDLE tolerant = open_file(u"\\s.bin", GENERIC_READ, OPEN_EXISTING, FILE_SHARE_READ | FILE_SHARE_WRITE);
    EXPECT_NE(tolerant, INVALID_HANDLE_VALUE);
    CloseHandle(tolerant);
    CloseHandle(writer);
    EXPECT_TRUE(DeleteFileW(u"\\s.bin"));
}

TEST(KernelFiles, ReadWriteSeekAndSize) {
    DeviceRoot box;
    HANDLE h = open_file(u"\\rw.bin", GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    write_text(h, "0123456789");
    EXPECT_EQ(GetFileSize(h, nullptr), 10u);
    EXPECT_EQ(SetFilePointer(h, 0, nullptr, FILE_CURRENT), 10u);
    EXPECT_EQ(read_all(h), "");  // at the end: success with nothing read
    EXPECT_EQ(SetFilePointer(h, -4, nullptr, FILE_CURRENT), 6u);
    EXPECT_EQ(read_all(h), "6789");
    EXPECT_EQ(SetFilePointer(h, 2, nullptr, FILE_BEGIN), 2u);
    char two[2];
    DWORD n = 0;
    EXPECT_TRUE(ReadFile(h, two, 2, &n, nullptr));
    EXPECT_EQ(std::string(two, n), "23");
    EXPECT_EQ(SetFilePointer(h, -3, nullptr, FILE_END), 7u);
    SetLastError(0);
    EXPECT_EQ(SetFilePointer(h, -11, nullptr, FILE_END), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), ERROR_NEGATIVE_SEEK);
    EXPECT_EQ(SetFilePointer(h, 0, nullptr, FILE_CURRENT), 7u);  // a refused move leaves the pointer
    EXPECT_EQ(SetFilePointer(h, 20, nullptr, FILE_BEGIN), 20u);  // beyond the end is allowed
    write_text(h, "x");
    EXPECT_EQ(GetFileSize(h, nullptr), 21u);
    EXPECT_TRUE(FlushFileBuffers(h));
    CloseHandle(h);
    EXPECT_EQ(fixtures::read_file(box.host("rw.bin")).substr(0, 10), "0123456789");
}

TEST(KernelFiles, AccessAndHandleErrors) {
    DeviceRoot box;
    fixtures::write_file(box.host("r.bin"), "abc");
    HANDLE reader = open_file(u"\\r.bin", GENERIC_READ, OPEN_EXISTING);
    DWORD n = 7;
    EXPECT_FALSE(WriteFile(reader, "x", 1, &n, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(n, 0u);
    EXPECT_FALSE(FlushFileBuffers(reader));
    CloseHandle(reader);
    HANDLE writer = open_file(u"\\w.bin", GENERIC_WRITE, CREATE_ALWAYS);
    char c;
    EXPECT_FALSE(ReadFile(writer, &c, 1, &n, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    CloseHandle(writer);

    // A closed handle fails cleanly in every call.
    EXPECT_FALSE(ReadFile(writer, &c, 1, &n, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(GetFileSize(writer, nullptr), INVALID_FILE_SIZE);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(SetFilePointer(writer, 0, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(FlushFileBuffers(writer));
}

TEST(KernelFiles, PathsMatchCaseInsensitivelyAndNewNamesKeepTheirSpelling) {
    DeviceRoot box;
    fixtures::write_file(box.host("Music/Rock/Song.MP3"), "tune");
    for (const char16_t* path : {u"\\Music\\Rock\\Song.MP3", u"\\music\\ROCK\\song.mp3", u"/MUSIC/rock/SONG.Mp3",
                                 u"Music\\Rock\\Song.MP3", u"\\Music\\.\\Rock\\..\\Rock\\\\Song.MP3"}) {
        HANDLE h = open_file(path, GENERIC_READ, OPEN_EXISTING);
        EXPECT_NE(h, INVALID_HANDLE_VALUE) << std::filesystem::path(std::u16string(path)).string();
        if (h != INVALID_HANDLE_VALUE) {
            EXPECT_EQ(read_all(h), "tune");
            CloseHandle(h);
        }
    }
    HANDLE h = open_file(u"\\MUSIC\\rock\\New Song.txt", GENERIC_WRITE, CREATE_ALWAYS);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    EXPECT_TRUE(std::filesystem::exists(box.host("Music/Rock/New Song.txt")));
}

TEST(KernelFiles, PathsAboveTheRootAreRefused) {
    DeviceRoot box;
    fixtures::write_file(box.host("inside.txt"), "in");
    for (const char16_t* path : {u"\\..\\outside.txt", u"\\a\\..\\..\\outside.txt", u"..", u"/../../etc/passwd"}) {
        SetLastError(0);
        EXPECT_EQ(open_file(path, GENERIC_WRITE, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
        EXPECT_FALSE(CreateDirectoryW(path, nullptr));
        EXPECT_FALSE(DeleteFileW(path));
    }
    EXPECT_FALSE(std::filesystem::exists(box.host("../outside.txt")));
    HANDLE h = open_file(u"\\a\\..\\inside.txt", GENERIC_READ, OPEN_EXISTING);
    EXPECT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
}

TEST(KernelFiles, DirectoriesAndDeletion) {
    DeviceRoot box;
    EXPECT_TRUE(CreateDirectoryW(u"\\Dir", nullptr));
    EXPECT_FALSE(CreateDirectoryW(u"\\dir", nullptr));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_FALSE(CreateDirectoryW(u"\\missing\\child", nullptr));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    EXPECT_FALSE(CreateDirectoryW(u"", nullptr));
    EXPECT_TRUE(std::filesystem::is_directory(box.host("Dir")));

    EXPECT_FALSE(DeleteFileW(u"\\Dir"));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(DeleteFileW(u"\\Dir\\none.txt"));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(DeleteFileW(u"\\nowhere\\none.txt"));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    fixtures::write_file(box.host("Dir/File.txt"), "x");
    EXPECT_TRUE(DeleteFileW(u"\\DIR\\file.TXT"));
    EXPECT_FALSE(std::filesystem::exists(box.host("Dir/File.txt")));
}

// A FIFO, a socket or a device named like a file is refused at once: opening a FIFO would
// wait for a writer (or a reader) for good.
TEST(KernelFiles, OnlyRegularFilesOpen) {
    DeviceRoot box;
    ASSERT_EQ(mkfifo(box.host("pipe.mp3").c_str(), 0666), 0);
    const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socket_path = box.host("socket.wav");
    ASSERT_LT(socket_path.size(), sizeof address.sun_path);
    std::copy(socket_path.begin(), socket_path.end(), address.sun_path);
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    std::filesystem::create_symlink("/dev/zero", box.host("zero.ogg"));
    struct Case {
        const char16_t* path;
        DWORD access;
        DWORD creation;
    };
    const Case cases[] = {
        {u"\\pipe.mp3", GENERIC_READ, OPEN_EXISTING},
        {u"\\pipe.mp3", GENERIC_WRITE, CREATE_ALWAYS},
        {u"\\pipe.mp3", GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS},
        {u"\\socket.wav", GENERIC_READ, OPEN_EXISTING},
        {u"\\zero.ogg", GENERIC_READ, OPEN_EXISTING},
        {u"\\zero.ogg", GENERIC_WRITE, CREATE_ALWAYS},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.path, c.path + std::char_traits<char16_t>::length(c.path)) + " " +
                     std::to_string(c.access));
        auto opening = std::async(std::launch::async, [&] {
            HANDLE h = open_file(c.path, c.access, c.creation);
            return std::make_pair(h, GetLastError());
        });
        if (opening.wait_for(std::chrono::seconds(1)) != std::future_status::ready) {
            ADD_FAILURE() << "the open waits";
            // Meet the waiting open from the other end, so that it returns.
            const int other = open(box.host("pipe.mp3").c_str(), (c.access & GENERIC_WRITE ? O_RDONLY : O_WRONLY) | O_NONBLOCK);
            auto [h, error] = opening.get();
            if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
            if (other >= 0) close(other);
            continue;
        }
        auto [h, error] = opening.get();
        EXPECT_EQ(h, INVALID_HANDLE_VALUE);
        EXPECT_EQ(error, ERROR_ACCESS_DENIED);
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
    close(listener);
}

TEST(KernelFiles, MoveReplacesInOneStepOnlyWhenAsked) {
    DeviceRoot box;
    fixtures::write_file(box.host("new.tmp"), "new");
    fixtures::write_file(box.host("old.mp3"), "old");
    std::filesystem::create_directories(box.host("Folder"));
    EXPECT_FALSE(MoveFileExW(u"\\new.tmp", u"\\old.mp3", 0));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(fixtures::read_file(box.host("old.mp3")), "old");
    EXPECT_FALSE(MoveFileExW(u"\\new.tmp", u"\\Folder", MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(MoveFileExW(u"\\new.tmp", u"\\old.mp3", 0x2));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(MoveFileExW(u"\\none.tmp", u"\\old.mp3", MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(MoveFileExW(u"\\NEW.tmp", u"\\old.mp3", MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
    EXPECT_EQ(fixtures::read_file(box.host("old.mp3")), "new");
    EXPECT_FALSE(std::filesystem::exists(box.host("new.tmp")));
    EXPECT_TRUE(MoveFileExW(u"\\old.mp3", u"\\Folder\\moved.mp3", 0));
    EXPECT_EQ(fixtures::read_file(box.host("Folder/moved.mp3")), "new");
}

TEST(KernelFiles, AWriteBeyondTheRoomPutsInWhatFitsAndFails) {
    DeviceRoot box;
    HANDLE unlimited = open_file(u"\\other.bin", GENERIC_WRITE, CREATE_ALWAYS);
    platform::set_write_room(6);
    HANDLE h = open_file(u"\\full.bin", GENERIC_WRITE, CREATE_ALWAYS);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD n = 0;
    EXPECT_TRUE(WriteFile(h, "abcd", 4, &n, nullptr));
    EXPECT_FALSE(WriteFile(h, "efgh", 4, &n, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_DISK_FULL);
    EXPECT_EQ(n, 2u);
    EXPECT_FALSE(WriteFile(h, "i", 1, &n, nullptr));
    EXPECT_TRUE(WriteFile(unlimited, "12345678", 8, &n, nullptr)) << "a file opened before writes on";
    CloseHandle(unlimited);
    platform::set_write_room(-1);
    EXPECT_TRUE(WriteFile(h, "j", 1, &n, nullptr));
    CloseHandle(h);
    EXPECT_EQ(fixtures::read_file(box.host("full.bin")), "abcdefj");
}

TEST(KernelFiles, DiskSpaceOfTheRootAndOfAMissingFolder) {
    DeviceRoot box;
    ULARGE_INTEGER free_to_caller{}, total{}, total_free{};
    ASSERT_TRUE(GetDiskFreeSpaceExW(u"\\", &free_to_caller, &total, &total_free));
    EXPECT_GT(total.QuadPart, 0u);
    EXPECT_LE(free_to_caller.QuadPart, total_free.QuadPart);
    EXPECT_LE(total_free.QuadPart, total.QuadPart);
    EXPECT_FALSE(GetDiskFreeSpaceExW(u"\\missing", &free_to_caller, &total, &total_free));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
}

TEST(KernelFiles, MasksMatchStarAndQuestionMarkIgnoringCase) {
    struct Case {
        const char16_t* mask;
        const char16_t* name;
        bool matches;
    } cases[] = {
        {u"*", u"anything", true},      {u"*.*", u"noext", true},        {u"*.*", u"a.b", true},
        {u"*.lng", u"English.LNG", true}, {u"*.lng", u"english.lngx", false}, {u"*.LNG", u"x.lng", true},
        {u"?.txt", u"a.txt", true},     {u"?.txt", u"ab.txt", false},    {u"a*b*c", u"aXXbYYc", true},
        {u"a*b*c", u"aXXbYY", false},   {u"song", u"SONG", true},        {u"song", u"songs", false},
        {u"*.mp3", u".mp3", true},      {u"*x", u"", false},             {u"d*.skin", u"default.skin", true},
        {u"\u00c9t\u00e9*", u"\u00e9T\u00c9.txt", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::mask_matches(c.mask, c.name), c.matches)
            << std::filesystem::path(std::u16string(c.mask)).string() << " / "
            << std::filesystem::path(std::u16string(c.name)).string();
    }
}

std::set<std::u16string> find_all(const char16_t* pattern, DWORD* error = nullptr) {
    std::set<std::u16string> names;
    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileW(pattern, &data);
    if (h == INVALID_HANDLE_VALUE) {
        if (error) {
            *error = GetLastError();
        }
        return names;
    }
    do {
        names.insert(data.cFileName);
    } while (FindNextFileW(h, &data));
    EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
    EXPECT_TRUE(FindClose(h));
    return names;
}

TEST(KernelFiles, FindListsMatchingEntriesWithTheirData) {
    DeviceRoot box;
    fixtures::write_file(box.host("Lang/English.LNG"), "e");
    fixtures::write_file(box.host("Lang/german.lng"), "gg");
    fixtures::write_file(box.host("Lang/readme.txt"), "r");
    std::filesystem::create_directories(box.host("Lang/Sub"));

    using Names = std::set<std::u16string>;
    EXPECT_EQ(find_all(u"\\lang\\*.lng"), (Names{u"English.LNG", u"german.lng"}));
    EXPECT_EQ(find_all(u"/LANG/*"), (Names{u".", u"..", u"English.LNG", u"german.lng", u"readme.txt", u"Sub"}));
    EXPECT_EQ(find_all(u"\\Lang\\SUB"), (Names{u"Sub"}));
    EXPECT_EQ(find_all(u"\\*"), (Names{u"Lang"}));  // the root has no "." or ".."

    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileW(u"\\Lang\\GERMAN.LNG", &data);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(std::u16string(data.cFileName), u"german.lng");
    EXPECT_EQ(data.nFileSizeLow, 2u);
    EXPECT_EQ(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_NE(data.ftLastWriteTime.dwHighDateTime, 0u);
    EXPECT_FALSE(FindNextFileW(h, &data));
    EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
    FindClose(h);
    h = FindFirstFileW(u"\\Lang\\sub", &data);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_NE(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
    FindClose(h);

    DWORD error = 0;
    EXPECT_TRUE(find_all(u"\\Lang\\*.wav", &error).empty());
    EXPECT_EQ(error, ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(find_all(u"\\Missing\\*", &error).empty());
    EXPECT_EQ(error, ERROR_PATH_NOT_FOUND);
    EXPECT_TRUE(find_all(u"\\..\\*", &error).empty());
    EXPECT_EQ(error, ERROR_ACCESS_DENIED);
    EXPECT_FALSE(FindClose(h));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

}  // namespace
