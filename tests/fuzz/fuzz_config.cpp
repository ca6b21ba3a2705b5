// The configuration file and the notes file, read from disk as the program reads them: the
// first byte chooses which.
#include "files/ConfigFile.h"
#include "files/HeaderNotes.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("input"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
    file.write(reinterpret_cast<const char*>(data) + 1, qint64(size - 1));
    file.close();
    if (data[0] & 1) {
        files::HeaderNotes notes;
        notes.LoadNoteQuery(path);
    } else {
        files::Config config(dir.path());
        files::LoadCfg(path, config);
    }
    return 0;
}
