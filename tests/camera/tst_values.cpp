#include "CameraValue.h"
#include "JsonText.h"
#include "VornFileValue.h"
#include "VornObject.h"
#include "VornValue.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QTest>

namespace {

QJsonObject json(const char* text)
{
    return QJsonDocument::fromJson(text).object();
}

} // namespace

class TestValues : public QObject
{
    Q_OBJECT

private slots:
    void conversionsByTypeCode()
    {
        VornValue b({"b"}, VornValue::Bool);
        VornValue i({"i"}, VornValue::Int);
        VornValue u({"u"}, VornValue::UInt);
        VornValue d({"d"}, VornValue::Double);
        VornValue s({"s"}, VornValue::String);
        VornValue h({"h"}, VornValue::HexU64);
        VornValue v({"v"}, VornValue::Variant);
        VornValue odd({"o"}, 7);
        QCOMPARE(odd.valueType(), int(VornValue::Variant));

        VornObject object(VornObject::UnknownType);
        for (VornValue* value : {&b, &i, &u, &d, &s, &h, &v})
            object.appendValue(value);
        object.loadValues(
            json(R"({"b": true, "i": -7, "u": 4000000000, "d": 0.25, "s": "abc", "h": "1a", "v": [1, 2]})"));
        QCOMPARE(b.value(), QVariant(true));
        QCOMPARE(i.value(), QVariant(-7));
        QCOMPARE(u.value().toUInt(), 4000000000u);
        QCOMPARE(u.value().typeId(), QMetaType::UInt);
        QCOMPARE(d.value(), QVariant(0.25));
        QCOMPARE(s.value(), QVariant(QStringLiteral("abc")));
        QCOMPARE(h.value().toULongLong(), 26ull);
        QCOMPARE(h.value().typeId(), QMetaType::ULongLong);
        QCOMPARE(v.value().toList().size(), 2);
        // The same hexadecimal text at the next poll is no change.
        QSignalSpy hexChanged(&h, &VornValue::valueChanged);
        QVERIFY(!h.setJsonValue(QJsonValue(QStringLiteral("1a"))));
        QCOMPARE(hexChanged.count(), 0);

        // Members of the wrong kind give the conversion's default.
        object.loadValues(json(R"({"b": "yes", "i": "12", "s": 5, "d": "x", "h": 255})"));
        QCOMPARE(b.value(), QVariant(false));
        QCOMPARE(i.value(), QVariant(0));
        QCOMPARE(s.value(), QVariant(QString()));
        QCOMPARE(d.value(), QVariant(0.0));
        QCOMPARE(h.value().toULongLong(), 0ull);

        // Texts as sent to a camera.
        b.setValue(true);
        QCOMPARE(b.valueText(), QByteArray("true"));
        d.setValue(0.5);
        QCOMPARE(d.valueText(), QByteArray("0.500000"));
        s.setValue(QStringLiteral("abc"));
        QCOMPARE(s.valueText(), QByteArray("\"abc\""));
        h.setValue(QStringLiteral("ff"));
        QCOMPARE(h.value().toULongLong(), 255ull);
        QCOMPARE(h.valueText(), QByteArray("\"255\""));
        u.setValue(-1);
        QCOMPARE(u.valueText(), QByteArray("4294967295"));
    }

    void stringsAreEscapedForJson()
    {
        QCOMPARE(JsonText::quoted(QStringLiteral("Bench \"A\" \\ 2")),
                 QByteArray("\"Bench \\\"A\\\" \\\\ 2\""));
        QCOMPARE(JsonText::escaped(QStringLiteral("tab\there\nnl")), QByteArray("tab\\there\\nnl"));
        // Plain text, including non-ASCII, goes out byte for byte.
        QCOMPARE(JsonText::escaped(QStringLiteral("Kamera Süd 7")), QStringLiteral("Kamera Süd 7").toUtf8());
        VornValue name({"camera", "name"}, VornValue::String);
        name.setValue(QStringLiteral("a\"b"));
        const QByteArray body = name.valueText();
        QCOMPARE(QJsonDocument::fromJson("[" + body + "]").array().at(0).toString(), QStringLiteral("a\"b"));
    }

    void keyPathsAndAlternatives()
    {
        VornObject object(VornObject::UnknownType);
        VornValue yearOffset({"meta", "year_offset"}, VornValue::Int, nullptr, nullptr,
                             {"time", "year_offset"});
        VornValue exp({"acq", "exp_clks"}, VornValue::Int);
        object.appendValue(&yearOffset);
        object.appendValue(&exp);

        object.loadValues(json(R"({"time": {"year_offset": 1000}, "acq": {"exp_clks": 42}})"));
        QCOMPARE(yearOffset.value().toInt(), 1000);
        QCOMPARE(exp.value().toInt(), 42);
        object.loadValues(json(R"({"meta": {"year_offset": 2000}, "time": {"year_offset": 1000}})"));
        QCOMPARE(yearOffset.value().toInt(), 2000);

        // JSON null and a path through a non-object never change a value.
        QSignalSpy changed(&exp, &VornValue::valueChanged);
        object.loadValues(json(R"({"acq": {"exp_clks": null}, "meta": 5})"));
        QCOMPARE(exp.value().toInt(), 42);
        QCOMPARE(yearOffset.value().toInt(), 2000);
        QCOMPARE(changed.count(), 0);
        object.loadValues(json(R"({"acq": 3})"));
        QCOMPARE(exp.value().toInt(), 42);

        QVERIFY(VornObject::lookup({"acq", "exp_clks"}, json(R"({"acq": {}})")).isUndefined());
        QVERIFY(VornObject::lookup({"acq", "exp_clks", "x"}, json(R"({"acq": {"exp_clks": 1}})")).isNull());

        const QJsonObject tree = object.valuesToJson();
        QCOMPARE(tree.value("meta").toObject().value("year_offset").toInt(), 2000);
        QCOMPARE(tree.value("acq").toObject().value("exp_clks").toInt(), 42);
    }

    void localAndRemoteUpdateRules()
    {
        QObject owner; // not a camera: sends go nowhere
        CameraValue exp({"acq", "exp_clks"}, VornValue::Int, &owner);
        QSignalSpy local(&exp, &VornValue::valueChangedLocal);
        QSignalSpy remote(&exp, &CameraValue::valueChangedRemote);

        QVERIFY(exp.setJsonValue(QJsonValue(100)));
        QCOMPARE(remote.count(), 1);
        QVERIFY(!exp.setRemoteValue(100)); // unchanged
        QCOMPARE(remote.count(), 1);

        exp.setValue(200);
        QCOMPARE(local.count(), 1);
        QVERIFY(exp.sendPending());
        QVERIFY(exp.ignoreNextRemote());
        // The poll already under way carries the old value: dropped.
        QVERIFY(!exp.setJsonValue(QJsonValue(100)));
        QCOMPARE(exp.value().toInt(), 200);
        QVERIFY(!exp.ignoreNextRemote());
        // The next one is applied, whatever the camera made of the change.
        QVERIFY(exp.setJsonValue(QJsonValue(190)));
        QCOMPARE(exp.value().toInt(), 190);

        exp.setValue(190); // no change: nothing to send
        QCOMPARE(local.count(), 1);
        exp.setValue(150, true); // quiet: no local signal, still sent
        QCOMPARE(local.count(), 1);
        QVERIFY(exp.sendPending());
        QTRY_VERIFY_WITH_TIMEOUT(!exp.sendPending(), 500);

        VornFileValue fileValue({"acq", "res"}, VornValue::String, &owner);
        QSignalSpy fileRemote(&fileValue, &VornFileValue::valueChangedRemote);
        fileValue.setJsonValue(QJsonValue(QStringLiteral("1280x1024")));
        QCOMPARE(fileRemote.count(), 1);
        QVERIFY(!fileValue.dirty());
        fileValue.setValue(QStringLiteral("640x480"));
        QVERIFY(fileValue.dirty());
        QTRY_VERIFY_WITH_TIMEOUT(!fileValue.dirty(), 500);
    }
};

QTEST_GUILESS_MAIN(TestValues)
#include "tst_values.moc"
