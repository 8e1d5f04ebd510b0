// Runs the fuzz target over files, as libFuzzer does when handed files
// instead of a corpus to grow; works with any compiler.
//
//   qmr_fuzz_replay FILE_OR_FOLDER...

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv);
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

int main(int argc, char **argv)
{
    LLVMFuzzerInitialize(&argc, &argv);
    int count = 0;
    for (int i = 1; i < argc; ++i) {
        const QFileInfo given(QString::fromLocal8Bit(argv[i]));
        const QFileInfoList files = given.isDir() ? QDir(given.filePath()).entryInfoList(QDir::Files, QDir::Name)
                                                  : QFileInfoList{given};
        for (const QFileInfo &file : files) {
            QFile input(file.filePath());
            if (!input.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "cannot read %s\n", qPrintable(file.filePath()));
                return 2;
            }
            const QByteArray bytes = input.readAll();
            std::fprintf(stderr, "%s\n", qPrintable(file.fileName()));
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size()));
            ++count;
        }
    }
    std::printf("%d inputs replayed\n", count);
    return count > 0 ? 0 : 2;
}
