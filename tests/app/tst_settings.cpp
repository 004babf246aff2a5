#include "JsonSettingsFormat.h"

#include <QBuffer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void readFlattensNestedObjects()
    {
        QBuffer buffer;
        buffer.setData(R"({"window": {"x": 10, "geo": {"w": 5}}, "top": "a", "list": [1, 2], "flag": true})");
        buffer.open(QIODevice::ReadOnly);
        QSettings::SettingsMap map;
        QVERIFY(JsonSettingsFormat::read(buffer, map));
        QCOMPARE(map.value("window/x").toInt(), 10);
        QCOMPARE(map.value("window/geo/w").toInt(), 5);
        QCOMPARE(map.value("top").toString(), QStringLiteral("a"));
        QCOMPARE(map.value("list").toList().size(), 2);
        QCOMPARE(map.value("flag").toBool(), true);
        QCOMPARE(map.size(), 5);
    }

    void writeGroupsKeysBySection()
    {
        QSettings::SettingsMap map;
        map.insert("vorn/version", "12.0");
        map.insert("vorn/log", 1);
        map.insert("window/x", 10);
        map.insert("cameras/Q7-0001/playback/info_expanded", false);
        map.insert("plain", 2.5);
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(JsonSettingsFormat::write(buffer, map));
        const QByteArray text = buffer.data();
        QVERIFY2(text.contains("\n    \"plain\""), text.constData()); // indented
        const QJsonObject root = QJsonDocument::fromJson(text).object();
        QCOMPARE(root.value("plain").toDouble(), 2.5);
        QCOMPARE(root.value("vorn").toObject().value("version").toString(), QStringLiteral("12.0"));
        QCOMPARE(root.value("vorn").toObject().value("log").toInt(), 1);
        QCOMPARE(root.value("window").toObject().value("x").toInt(), 10);
        const QJsonObject camera = root.value("cameras").toObject().value("Q7-0001").toObject();
        QCOMPARE(camera.value("playback").toObject().value("info_expanded").toBool(true), false);
    }

    // (The application's own settings file is written and read back in its
    // test.) A file that is not JSON is ignored, and overwritten at the next save.
    void unreadableFileIsReplaced()
    {
        QTemporaryDir dir;
        QFile file(dir.filePath("VORN.json"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not json {");
        file.close();
        {
            QSettings settings(file.fileName(), JsonSettingsFormat::format());
            QVERIFY(settings.allKeys().isEmpty());
            settings.setValue("open/folder", "/tmp");
        }
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
        QCOMPARE(root.value("open").toObject().value("folder").toString(), QStringLiteral("/tmp"));
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
