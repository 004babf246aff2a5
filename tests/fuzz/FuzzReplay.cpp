// Replays every kept fuzz input (tests/fuzz/corpus/<target>/) through the
// entry points, so that what the fuzzers once found stays found. A crash or
// a failed check ends the run; a target without inputs is a failure too.
// Usage: vorn_fuzz_replay [CORPUS_DIR [TARGET]]
#include "FuzzSupport.h"

#include <QDir>
#include <QFile>
#include <cstdio>

int main(int argc, char** argv)
{
    const struct
    {
        const char* name;
        int (*entry)(const uint8_t*, size_t);
    } targets[] = {{"vornfile", fuzzVornFile}, {"state", fuzzState},       {"xfer", fuzzXfer},
                   {"ssdls", fuzzSsdLs},       {"manifest", fuzzManifest}, {"settings", fuzzSettings}};
    const QDir corpus(QString::fromLocal8Bit(argc > 1 ? argv[1] : "."));
    int passed = 0, failed = 0;
    for (const auto& target : targets) {
        if (argc > 2 && qstrcmp(argv[2], target.name) != 0)
            continue;
        const QDir dir(corpus.filePath(QLatin1String(target.name)));
        const QStringList files = dir.entryList(QDir::Files, QDir::Name);
        for (const QString& name : files) {
            QFile file(dir.filePath(name));
            if (!file.open(QIODevice::ReadOnly)) {
                fprintf(stderr, "%s/%s: cannot read\n", target.name, qPrintable(name));
                return 1;
            }
            const QByteArray input = file.readAll();
            target.entry(reinterpret_cast<const uint8_t*>(input.constData()), size_t(input.size()));
        }
        printf("%s: %lld inputs\n", target.name, qlonglong(files.size()));
        files.isEmpty() ? ++failed : ++passed;
    }
    printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
