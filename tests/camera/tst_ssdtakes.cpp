// The camera's SSD seen from the program: the listing with its selection and
// sort orders, opening files as SSD takes that transfer the saved frames,
// closing them, and keeping the open takes in step with the camera's polls.
#include "Camera.h"
#include "FrameSynth.h"
#include "RawFrame.h"
#include "SaveManager.h"
#include "SimCameras.h"
#include "VornTestMain.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtEndian>

class TestSsdTakes : public QObject
{
    Q_OBJECT

    QNetworkAccessManager m_nam;
    SimCameras m_sims;
    q7sim::SimCamera* m_sim = nullptr;
    Camera* m_camera = nullptr;
    int m_memoryTake = 0;
    qint64 m_firstFr = 0;

    // A command sent to the camera behind the program's back.
    QJsonObject post(const QString& path, const QByteArray& body)
    {
        QNetworkRequest request(QUrl(QStringLiteral("http://127.0.0.2") + path));
        request.setRawHeader("Content-Type", "application/json");
        QNetworkReply* reply = m_nam.post(request, body);
        if (!QTest::qWaitFor([reply] { return reply->isFinished(); }, 5000))
            return {};
        const QJsonObject answer = QJsonDocument::fromJson(reply->readAll()).object();
        delete reply;
        return answer;
    }

    QStringList listedNames() const
    {
        QStringList names;
        SsdLsSortProxyModel* sorted = m_camera->ssdLsEntries();
        for (int row = 0; row < sorted->count(); ++row)
            names << qobject_cast<SsdLsEntry*>(sorted->get(row))->name();
        return names;
    }

    SsdLsEntry* entry(const QString& name) const
    {
        for (SsdLsEntry* e : *m_camera->ssdLsList())
            if (e->name() == name)
                return e;
        return nullptr;
    }

    bool listAndWait(int expectedCount)
    {
        m_camera->ssdLs();
        return QTest::qWaitFor([&] { return m_camera->ssdLsList()->count() == expectedCount; }, 5000);
    }

private slots:
    void initTestCase()
    {
        VornTest::useNetwork(&m_nam);
        q7sim::CameraConfig config;
        config.res = QStringLiteral("320x240");
        config.memoryBytes = 60ULL * (320 * 240 + 32);
        config.ssdBytes = 1ULL << 30;
        m_sim = m_sims.start(config);
        QVERIFY(m_sim);
        m_memoryTake = SimCameras::recordTake(m_sim, 200, 10);
        QVERIFY(m_memoryTake > 0);
        // Two files on the SSD: the whole take (60 frames, up to frame 9) and a part of it.
        m_firstFr = m_sim->takeFrameParams(m_memoryTake)->firstFr;
        QCOMPARE(m_firstFr, -50);
        QCOMPARE(post("/ssd-save", "{\"take\":1,\"start\":-50,\"cnt\":60,\"name\":\"Whole\",\"del_take\":0}")
                     .value("seq")
                     .toInt(),
                 1);
        QCOMPARE(post("/ssd-save", "{\"take\":1,\"start\":0,\"cnt\":10,\"name\":\"after\",\"del_take\":0}")
                     .value("seq")
                     .toInt(),
                 2);
        m_camera = SimCameras::connect(m_sim);
        QVERIFY(m_camera);
        QVERIFY(QTest::qWaitFor(
            [&] { return m_camera->property("ssdWrSeq").value<CameraValue*>()->value() == 2; }, 10000));
    }

    void listingSelectionAndOrder()
    {
        QVERIFY(listAndWait(2));
        QCOMPARE(listedNames(), (QStringList{"after.vorn", "Whole.vorn"})); // by name, case ignored
        SsdLsEntry* whole = entry("Whole.vorn");
        QVERIFY(whole);
        QCOMPARE(whole->size(), 60LL * (320 * 240 + 32) + 4096);
        QVERIFY(!whole->oldFW());
        QVERIFY(qAbs(whole->date().secsTo(QDateTime::currentDateTime())) < 60);
        QCOMPARE(whole->dateStr(), whole->date().toString("yyyy-MM-dd HH:mm:ss"));
        const QString lsBody = SimCameras::requests(m_sim, "POST", "/ssd-ls").last().body;
        QCOMPARE(lsBody, QStringLiteral("{\"long\": 1}"));

        // A listing mixing both firmware forms; other elements are skipped
        // without using an id.
        m_sim->addFault(
            q7sim::Fault::reply("POST", "/ssd-ls", 200,
                                R"({"ssd-ls": [{"name": "b.vorn", "size": 10, "time": 100}, "a.vorn", 7, null,
                           {"name": "C.vorn", "size": 10, "time": 50}]})",
                                1));
        QVERIFY(listAndWait(3));
        QCOMPARE(entry("b.vorn")->entryId(), 0);
        QCOMPARE(entry("a.vorn")->entryId(), 1);
        QCOMPARE(entry("C.vorn")->entryId(), 2);
        QVERIFY(entry("a.vorn")->oldFW());
        QCOMPARE(entry("a.vorn")->size(), 0);
        QVERIFY(!entry("Whole.vorn")); // the old entries are gone

        SsdLsSortProxyModel* sorted = m_camera->ssdLsEntries();
        QSignalSpy modeChanges(sorted, &SsdLsSortProxyModel::sortModeChanged);
        const QList<QPair<int, QStringList>> orders = {
            {SsdLsSortProxyModel::NameSortAscending, {"a.vorn", "b.vorn", "C.vorn"}},
            {SsdLsSortProxyModel::NameSortDescending, {"C.vorn", "b.vorn", "a.vorn"}},
            {SsdLsSortProxyModel::SizeSortAscending, {"a.vorn", "b.vorn", "C.vorn"}},
            {SsdLsSortProxyModel::SizeSortDescending, {"b.vorn", "C.vorn", "a.vorn"}}, // ties by name
            {SsdLsSortProxyModel::DateSortAscending, {"a.vorn", "C.vorn", "b.vorn"}},
            {SsdLsSortProxyModel::DateSortDescending, {"b.vorn", "C.vorn", "a.vorn"}},
        };
        for (const auto& order : orders) {
            sorted->setSortMode(order.first);
            QCOMPARE(listedNames(), order.second);
        }
        QCOMPARE(modeChanges.size(), 5); // the first mode was already set
        sorted->setSortMode(SsdLsSortProxyModel::NameSortAscending);

        // A plain selection stands alone; Ctrl and Shift add to it.
        QSignalSpy countChanges(m_camera->ssdLsList(), &SsdLsListModel::selectedCountChanged);
        entry("a.vorn")->select(false);
        entry("b.vorn")->select(false);
        QVERIFY(!entry("a.vorn")->selected());
        QVERIFY(entry("b.vorn")->selected());
        entry("C.vorn")->select(true);
        QCOMPARE(m_camera->ssdLsList()->selectedCount(), 2);
        entry("C.vorn")->unselect();
        QCOMPARE(m_camera->ssdLsList()->selectedCount(), 1);
        QVERIFY(countChanges.size() >= 4);

        // A reply that does not parse keeps the listing; a refusal empties it.
        m_sim->addFault(q7sim::Fault::malformedJson("/ssd-ls"));
        m_camera->ssdLs();
        QTest::qWait(300);
        QCOMPARE(m_camera->ssdLsList()->count(), 3);
        m_sim->clearFaults();
        m_sim->addFault(q7sim::Fault::httpError(503, true, "/ssd-ls"));
        QVERIFY(listAndWait(0));
        QCOMPARE(m_camera->ssdLsList()->selectedCount(), 0);
        m_sim->clearFaults();
    }

    void openTransferAndClose()
    {
        VornApp* app = VornApp::instance();
        QVERIFY(listAndWait(2));
        entry("Whole.vorn")->select(false);
        entry("after.vorn")->select(true);
        m_camera->ssdFOpen();
        QVERIFY(QTest::qWaitFor([&] { return m_camera->ssdTakes()->count() == 2; }, 5000));
        const auto opens = SimCameras::requests(m_sim, "POST", "/ssd-fopen");
        // Both go out at once, on two connections: they may arrive either way round.
        const QList<QByteArray> bodies{opens.at(opens.size() - 2).body, opens.last().body};
        QVERIFY(bodies.contains("{\"name\":\"Whole.vorn\"}"));
        QVERIFY(bodies.contains("{\"name\":\"after.vorn\"}"));
        SsdTake* whole = nullptr;
        for (SsdTake* take : *m_camera->ssdTakes())
            if (take->name() == "Whole.vorn")
                whole = take;
        QVERIFY(whole);
        QCOMPARE(whole->type(), VornObject::SsdTakeType);
        QVERIFY(whole->objectName().endsWith("-SsdTake"));
        QVERIFY(whole->savedOpened());
        QCOMPARE(qobject_cast<SsdTake*>(m_camera->ssdTakesSorted()->get(0))->name(),
                 QStringLiteral("after.vorn"));

        // Opening it again selects the take that exists.
        app->setSelectedVornObject(m_camera);
        m_camera->ssdFOpen("Whole.vorn");
        QVERIFY(QTest::qWaitFor([&] { return app->selectedVornObject() == whole; }, 5000));
        QCOMPARE(m_camera->ssdTakes()->count(), 2);

        // Its frames are the memory take's, from the SSD source.
        QVERIFY(QTest::qWaitFor([&] { return whole->valuesInit(); }, 5000));
        QCOMPARE(whole->firstFrame(), m_firstFr);
        const auto params = m_sim->takeFrameParams(m_memoryTake);
        QVERIFY(params);
        for (qint64 fr : {m_firstFr, qint64(0), qint64(9)}) {
            RawFrame frame;
            QSignalSpy done(&frame, &RawFrame::initFinished);
            whole->getFrame(&frame, fr);
            QVERIFY(done.wait(5000));
            QVERIFY(frame.data() == q7sim::FrameSynth::record(*params, fr, q7sim::XferBoth));
        }
        QVERIFY(SimCameras::requests(m_sim, "POST", "/xfer").last().body.contains("\"src\":2"));

        // A file the camera cannot open: its own words in a message.
        QSignalSpy messages(app, &VornApp::showMessage);
        m_camera->ssdFOpen("gone.vorn");
        QVERIFY(messages.wait(5000));
        QVERIFY(messages.last().at(0).toString().startsWith("<b>Error opening SSD Take:</b><br>\""));
        QVERIFY(messages.last().at(0).toString().contains("gone.vorn"));

        // Closing: the selection moves to the camera, the next poll drops the take.
        QSignalSpy closed(whole, &SsdTake::fcloseFinished);
        whole->fclose();
        QVERIFY(closed.wait(5000));
        QVERIFY(!whole->savedOpened());
        QCOMPARE(app->selectedVornObject(), m_camera);
        QVERIFY(QTest::qWaitFor([&] { return m_camera->ssdTakes()->count() == 1; }, 5000));
        m_camera->ssdFCloseAll();
        QVERIFY(QTest::qWaitFor([&] { return m_camera->ssdTakes()->count() == 0; }, 5000));
    }

    void pollsKeepTakesInStep()
    {
        // Opened behind the program's back: the next poll brings the take.
        const int takeId = post("/ssd-fopen", "{\"name\":\"Whole.vorn\"}").value("take").toInt();
        QVERIFY(takeId > 0);
        QVERIFY(QTest::qWaitFor([&] { return m_camera->ssdTakes()->count() == 1; }, 5000));
        SsdTake* first = m_camera->ssdTakes()->at(0);
        QPointer<SsdTake> watched(first);
        QCOMPARE(first->takeId(), takeId);

        // A poll without open_takes (other firmware) changes nothing.
        m_sim->addFault(q7sim::Fault::reply("GET", "/", 200, R"({"acq": {"state": 1}})", 3));
        QTest::qWait(1000);
        QCOMPARE(m_camera->ssdTakes()->count(), 1);
        QCOMPARE(m_camera->ssdTakes()->at(0), first);

        // The same number reopened with another file: a new object.
        post("/ssd-fclose", QStringLiteral("{\"take\":%1}").arg(takeId).toUtf8());
        QCOMPARE(post("/ssd-fopen", "{\"name\":\"after.vorn\"}").value("take").toInt(), takeId);
        QVERIFY(QTest::qWaitFor(
            [&] {
                return watched.isNull() && m_camera->ssdTakes()->count() == 1 &&
                       m_camera->ssdTakes()->at(0)->name() == QLatin1String("after.vorn");
            },
            5000));
        QCOMPARE(m_camera->ssdTakes()->at(0)->takeId(), takeId);
    }

    void latePollKeepsAJustOpenedTake()
    {
        VornApp* app = VornApp::instance();
        m_camera->ssdFCloseAll();
        QVERIFY(QTest::qWaitFor([&] { return m_camera->ssdTakes()->count() == 0; }, 5000));
        // Polls read the camera at once but are answered late, so one that
        // predates the opening arrives after the camera's answer to it.
        q7sim::Fault late = q7sim::Fault::delayAnswer(700, "/");
        late.exactPath = true;
        late.method = "GET";
        m_sim->addFault(late);
        QTest::qWait(300);
        app->setSelectedVornObject(m_camera);
        m_camera->ssdFOpen("Whole.vorn");
        QVERIFY(QTest::qWaitFor([&] { return m_camera->ssdTakes()->count() == 1; }, 5000));
        QPointer<SsdTake> take(m_camera->ssdTakes()->at(0));
        QVERIFY(QTest::qWaitFor([&] { return app->selectedVornObject() == take; }, 5000));
        QTest::qWait(1500); // the late polls, older and newer, have come in
        QVERIFY(!take.isNull());
        QCOMPARE(m_camera->ssdTakes()->count(), 1);
        QCOMPARE(app->selectedVornObject(), take.data());
        m_sim->clearFaults();
    }

    void ssdTakeSavesToAFile()
    {
        m_sim->clearFaults();
        m_camera->ssdFOpen("Whole.vorn");
        QVERIFY(QTest::qWaitFor(
            [&] {
                for (SsdTake* take : *m_camera->ssdTakes())
                    if (take->name() == QLatin1String("Whole.vorn") && take->valuesInit())
                        return true;
                return false;
            },
            5000));
        SsdTake* take = nullptr;
        for (SsdTake* t : *m_camera->ssdTakes())
            if (t->name() == QLatin1String("Whole.vorn"))
                take = t;
        QTemporaryDir dir;
        SaveJob* job = VornApp::instance()->saveManager()->createSaveJob(
            take, -5, 10, SaveManager::FileDest, Util::FormatVorn, Util::CodecVorn, 0, 0, "<name>_copy",
            dir.path(), SaveJob::DontDeleteClose);
        QVERIFY(job);
        QCOMPARE(job->sourceFileName(), QStringLiteral("Whole.vorn"));
        QVERIFY(QTest::qWaitFor([job] { return job->state() >= SaveJob::Done; }, 10000));
        QCOMPARE(job->state(), SaveJob::Done);
        QFile file(dir.filePath("Whole_copy.vorn"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        const qint64 dataOffset = qFromLittleEndian<quint64>(bytes.constData() + 24);
        const auto params = m_sim->takeFrameParams(m_memoryTake);
        QByteArray expected;
        for (qint64 fr = -5; fr < 5; ++fr)
            expected += q7sim::FrameSynth::record(*params, fr, q7sim::XferBoth);
        QVERIFY(bytes.mid(dataOffset) == expected);
        QVERIFY(SimCameras::requests(m_sim, "POST", "/xfer").last().body.contains("\"src\":2"));
    }
};

VORN_TEST_MAIN(TestSsdTakes)
#include "tst_ssdtakes.moc"
