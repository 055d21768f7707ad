#include "encoding/input_file.h"
#include "encoding/file_errors.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cerrno>

#include <sys/stat.h>

namespace velmora {
namespace {

using testing::TempFolder;

TEST(InputFile, ReadsRegularFilesWithinTheBound) {
    TempFolder folder;
    const auto file = folder.Write("a.bin", std::string(70000, 'a'));
    ReadError error;
    const auto whole = ReadInputFile(file, 70000, error);
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->size(), 70000u);
    EXPECT_EQ(ReadInputFile(folder.Write("empty", ""), 0, error), Bytes{});

    // One byte over the bound is refused, with both sizes in the reason.
    EXPECT_FALSE(ReadInputFile(file, 69999, error));
    EXPECT_EQ(error.kind, ReadError::Kind::kTooLarge);
    EXPECT_EQ(ReadErrorReason(error),
              "Файл слишком велик: 70000 байт, а допускается не более 69999.");
}

// What is no regular file is refused at once: a FIFO without a writer, an
// endless device and a folder never get read, and nothing waits on them.
TEST(InputFile, RefusesWhatIsNoRegularFileWithoutWaiting) {
    TempFolder folder;
    const auto fifo = folder / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const struct {
        std::filesystem::path file;
        const char* reason;
    } cases[] = {
        {fifo, "Это именованный канал, а не обычный файл."},
        {"/dev/zero", "Это устройство, а не обычный файл."},
        {"/dev/urandom", "Это устройство, а не обычный файл."},
        {folder.path(), "Это папка, а не файл."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        ReadError error;
        EXPECT_FALSE(ReadInputFile(c.file, kNoSizeLimit, error));
        EXPECT_EQ(error.kind, ReadError::Kind::kNotRegular);
        EXPECT_EQ(ReadErrorText(c.file, error),
                  "Не удается прочитать файл \"" + c.file.string() + "\". " + c.reason);
    }
}

TEST(InputFile, SystemFailuresGiveTheRussianReason) {
    TempFolder folder;
    ReadError error;
    EXPECT_FALSE(ReadInputFile(folder / "missing.cer", kNoSizeLimit, error));
    EXPECT_EQ(error.errorNumber, ENOENT);
    EXPECT_EQ(ReadErrorReason(error), "Не удается найти указанный файл.");

    EXPECT_FALSE(ReadInputFile(folder / std::string(300, 'n'), kNoSizeLimit, error));
    EXPECT_EQ(error.errorNumber, ENAMETOOLONG);
    EXPECT_EQ(ReadErrorReason(error), "Имя файла или его расширение имеет слишком большую длину.");

    const auto plain = folder.Write("plain", "x");
    EXPECT_FALSE(ReadInputFile(plain / "child", kNoSizeLimit, error));
    EXPECT_EQ(ReadErrorReason(error), "Системе не удается найти указанный путь.");

    EXPECT_EQ(WriteErrorText("/x/y", ENOSPC),
              "Не удается записать файл \"/x/y\". Недостаточно места на диске.");
    // Every error number the system knows reads as Russian text.
    for (int number = 1; number < 134; ++number) {
        const std::string text = SystemErrorText(number);
        EXPECT_TRUE(text.ends_with(".")) << number;
        EXPECT_EQ(text.find("Ошибка ввода-вывода"), std::string::npos) << number;
    }
}

}  // namespace
}  // namespace velmora
