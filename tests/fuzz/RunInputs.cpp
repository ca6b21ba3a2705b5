// Runs a fuzz target's entry on every file of the folders given: the inputs that once found a
// fault, and the seeds, in the ordinary build and under ctest.
#include <QDir>
#include <QFile>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    int inputs = 0;
    for (int i = 1; i < argc; ++i) {
        const QDir folder(QString::fromLocal8Bit(argv[i]));
        for (const QFileInfo& f : folder.entryInfoList(QDir::Files, QDir::Name)) {
            QFile file(f.filePath());
            if (!file.open(QIODevice::ReadOnly)) return 1;
            const QByteArray bytes = file.readAll();
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                   size_t(bytes.size()));
            ++inputs;
        }
    }
    std::printf("%d inputs ran\n", inputs);
    return 0;
}
