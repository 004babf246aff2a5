#include "SaveChoices.h"
#include "SaveFileName.h"
#include "VornApp.h"
#include "VornTestMain.h"

#include <QFile>
#include <QTemporaryDir>

// What a save may be and what it is called: the rules every save is checked
// against, frame ranges, output name templates, the running number kept in
// the settings and the free-name suffixes.
class TestSaveNames : public QObject
{
    Q_OBJECT

    static QString expand(const QString& text, qint64 startFr = 0, const QString& name = QString(),
                          Util::Format format = Util::FormatVorn)
    {
        return SaveFileName(QStringLiteral("/x"), text, format, startFr, name).expand(0);
    }

    static void setSeq(qint64 value) { VornApp::instance()->setSetting("save/filename_seq", value); }
    static qint64 seq() { return VornApp::instance()->setting("save/filename_seq").toLongLong(); }

private slots:
    // Exactly what the dialogs offer is allowed; everything else is refused
    // with a message that says why.
    void rulesAgreeWithTheChoicesOffered()
    {
        using V = VornObject;
        const struct
        {
            V::Type source;
            int dest, format, codec;
            const char* refusal;
        } cases[] = {
            {V::TakeType, SaveJob::SsdDest, Util::FormatVorn, Util::CodecVorn, nullptr},
            {V::TakeType, SaveJob::SsdDest, Util::FormatTiff, Util::CodecRaw_Gray8,
             "Can't save TIFF onto the camera's SSD!"},
            {V::SsdTakeType, SaveJob::SsdDest, Util::FormatVorn, Util::CodecVorn,
             "Only takes in camera memory can be saved there."},
            {V::VornFileType, SaveJob::SsdDest, Util::FormatVorn, Util::CodecVorn,
             "Only takes in camera memory"},
            {V::SsdTakeType, SaveJob::FileDest, Util::FormatCsv, Util::CodecCsv, "metadata of an SSD take"},
            {V::VornFileType, SaveJob::FileDest, Util::FormatCsv, Util::CodecCsv, nullptr},
            {V::TakeType, SaveJob::FileDest, Util::FormatAvi, Util::CodecRaw_Gray16,
             "AVI files can't hold the codec Raw_Gray16!"},
            {V::SsdTakeType, SaveJob::FileDest, Util::FormatMp4, Util::CodecH264, nullptr},
            {V::SsdTakeType, SaveJob::FileDest, Util::FormatDng, Util::CodecDng, nullptr},
            {V::TakeType, SaveJob::SsdDest, Util::FormatDng, Util::CodecDng, "Can't save DNG onto"},
            {V::TakeType, SaveJob::FileDest, Util::FormatDng, Util::CodecRaw_Gray8, "DNG files can't hold"},
            {V::TakeType, SaveJob::FileDest, 9, Util::CodecVorn, "Unknown format 9."},
            {V::TakeType, 5, Util::FormatVorn, Util::CodecVorn, "Unknown destination 5."},
            {V::CameraType, SaveJob::FileDest, Util::FormatVorn, Util::CodecVorn, "Nothing to save!"},
        };
        for (const auto& c : cases) {
            const QString refusal = SaveChoices::refusal(c.source, SaveJob::Dest(c.dest),
                                                         Util::Format(c.format), Util::Codec(c.codec));
            QVERIFY2(c.refusal ? refusal.contains(QLatin1String(c.refusal)) : refusal.isEmpty(),
                     qPrintable(refusal));
        }
        const auto offers = [](const QList<SaveChoices::Choice>& list, int value) {
            return std::any_of(list.cbegin(), list.cend(),
                               [value](const auto& c) { return c.value == value; });
        };
        for (const V::Type source : {V::TakeType, V::SsdTakeType, V::VornFileType}) {
            for (const SaveJob::Dest dest : {SaveJob::FileDest, SaveJob::SsdDest}) {
                for (int format = 0; format <= Util::FormatDng; ++format) {
                    for (int codec = 0; codec <= Util::CodecDng; ++codec) {
                        const bool offered =
                            offers(SaveChoices::destinationChoices(source), dest) &&
                            offers(SaveChoices::formatChoices(dest, source), format) &&
                            offers(SaveChoices::codecChoices(Util::Format(format), true), codec);
                        QCOMPARE(SaveChoices::refusal(source, dest, Util::Format(format), Util::Codec(codec))
                                     .isEmpty(),
                                 offered);
                    }
                }
            }
        }
    }

    // Frames first..last = 10..20; a start or end may be missing.
    void rangesNormalise()
    {
        const std::optional<qint64> none;
        const struct
        {
            std::optional<qint64> start, end;
            SaveChoices::Edited edited;
            qint64 wantStart, wantEnd;
        } cases[] = {
            {none, none, SaveChoices::Edited::End, 10, 20}, {12, 15, SaveChoices::Edited::End, 12, 15},
            {15, 12, SaveChoices::Edited::End, 15, 15},   // an end typed before the start
            {15, 12, SaveChoices::Edited::Start, 12, 12}, // a start typed after the end
            {5, 30, SaveChoices::Edited::End, 10, 20},      {25, none, SaveChoices::Edited::Start, 20, 20},
            {none, -5, SaveChoices::Edited::End, 10, 10},
        };
        for (const auto& c : cases) {
            const SaveChoices::Range r = SaveChoices::normalise(c.start, c.end, 10, 20, c.edited);
            QCOMPARE(QList<qint64>({r.start, r.end, r.count}),
                     QList<qint64>({c.wantStart, c.wantEnd, c.wantEnd - c.wantStart + 1}));
        }
        // Sizes: decimal units, named, the same everywhere.
        QCOMPARE(VornApp::dataSizeText(64LL << 30), QStringLiteral("68.72 GB"));
        QCOMPARE(VornApp::dataSizeText(1500000), QStringLiteral("1.50 MB"));
    }

    void templatesExpand()
    {
        setSeq(0);
        QCOMPARE(expand("<name>_<fr:6>", 12, "Take7"), QStringLiteral("Take7_000012"));
        QCOMPARE(expand("<name>_<fr:6>", -20, "Take7"),
                 QStringLiteral("Take7_") + QStringLiteral("%1").arg(qint64(-20), 6, 10, QLatin1Char('0')));
        QCOMPARE(expand("<fr>", 123456789012LL), QStringLiteral("123456789012"));
        QCOMPARE(expand("a:b<other>c"), QStringLiteral("abotherc"));
        // A run of text that is a tag name expands like the tag.
        QCOMPARE(expand("<name>fr<name>", 5, "N"), QStringLiteral("N5N"));
        QCOMPARE(expand("fr:4", 7), QStringLiteral("0007"));
        QCOMPARE(expand("plain:name"), QStringLiteral("plainname"));
        QCOMPARE(expand("2024-03-01T14:22:33Z"), QStringLiteral("2024-03-01T142233Z"));
        // Lone brackets are dropped, the text on either side stays.
        QCOMPARE(expand("a<b"), QStringLiteral("ab"));
        QCOMPARE(expand("a>b<name>", 0, "N"), QStringLiteral("abN"));
        QCOMPARE(expand("<fr:x>", 3), QStringLiteral("3")); // a width that is no number is none
        QCOMPARE(expand("<name:9>", 0, "N"), QStringLiteral("N"));
        QCOMPARE(expand(""), QString());
        QCOMPARE(seq(), 0); // no sequence tag: the counter stays

        const SaveFileName name("/data/out", "<name>_<fr:3>", Util::FormatTiff, 10, "Take1");
        QCOMPARE(name.expand(5), QStringLiteral("Take1_015"));
        QCOMPARE(name.filePath(0), QStringLiteral("/data/out/Take1_010.tiff"));
        QCOMPARE(name.filePath(0, " (2)"), QStringLiteral("/data/out/Take1_010 (2).tiff"));
        QVERIFY(name.hasNumberTag());
        QVERIFY(!SaveFileName("/x", "<name>", Util::FormatVorn, 0, "n").hasNumberTag());
        QCOMPARE(SaveFileName("/x", "a", Util::FormatCsv, 0, "").filePath(0), QStringLiteral("/x/a.csv"));
        QCOMPARE(SaveFileName("/x", "a", Util::FormatMp4, 0, "").ext(), QStringLiteral("mp4"));
        QCOMPARE(SaveFileName("/x", "a", Util::FormatAvi, 0, "").ext(), QStringLiteral("avi"));
    }

    void sequenceCounterAcrossJobs()
    {
        setSeq(41);
        QCOMPARE(expand("clip<seq:3>"), QStringLiteral("clip041"));
        QCOMPARE(seq(), 42);
        QCOMPARE(expand("clip<seq:3>"), QStringLiteral("clip042"));
        QCOMPARE(seq(), 43);
        // A whole text that is a tag name is that tag.
        QCOMPARE(expand("seq"), QStringLiteral("43"));
        QCOMPARE(seq(), 44);
        // Image sequences count their images from 0 and leave the counter alone.
        const SaveFileName tiff("/x", "img<seq:4>", Util::FormatTiff, 0, "");
        QCOMPARE(tiff.expand(0), QStringLiteral("img0000"));
        QCOMPARE(tiff.expand(12), QStringLiteral("img0012"));
        QCOMPARE(SaveFileName("/x", "i<seq:2>", Util::FormatDng, 0, "").filePath(3),
                 QStringLiteral("/x/i03.dng"));
        QCOMPARE(seq(), 44);
        // Every format but TIFF and DNG counts, and a template without the tag does not.
        QCOMPARE(expand("<seq>", 0, "", Util::FormatCsv), QStringLiteral("44"));
        QCOMPARE(expand("<name>", 0, "n", Util::FormatMp4), QStringLiteral("n"));
        QCOMPARE(seq(), 45);
        // The number of a job stays with the job.
        const SaveFileName job("/x", "<seq:2>", Util::FormatVorn, 0, "");
        setSeq(3);
        QCOMPARE(job.expand(0), QStringLiteral("45"));
    }

    void freeSuffixes()
    {
        QTemporaryDir dir;
        SaveFileName name(dir.path(), "<name>", Util::FormatVorn, 0, "Take1");
        QCOMPARE(name.firstFreeSuffix(0), 2);
        QVERIFY(QFile(dir.filePath("Take1 (2).vorn")).open(QIODevice::WriteOnly));
        QCOMPARE(name.firstFreeSuffix(0), 3);
        QVERIFY(QFile(dir.filePath("Take1 (3).vorn")).open(QIODevice::WriteOnly));
        QVERIFY(QFile(dir.filePath("Take1 (5).vorn")).open(QIODevice::WriteOnly));
        QCOMPARE(name.firstFreeSuffix(0), 4);
        // The suffix text joins the template as literal text.
        name.appendToTemplate(SaveFileName::suffixText(4));
        QCOMPARE(name.expand(0), QStringLiteral("Take1 (4)"));
        name.setTemplate("<fr>:<fr>");
        QCOMPARE(name.expand(1), QStringLiteral("11"));
    }
};

VORN_TEST_MAIN(TestSaveNames)
#include "tst_savenames.moc"
