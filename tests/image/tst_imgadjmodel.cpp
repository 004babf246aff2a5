#include "Camera.h"
#include "CameraImgAdjModel.h"
#include "CameraValue.h"
#include "ImgAdjModel.h"
#include "VornObject.h"
#include "VornTestMain.h"
#include "VornValue.h"

#include <QJsonDocument>
#include <QSignalSpy>
#include <QTest>

namespace {

bool allEqual(const QList<quint16>& lut, quint16 level)
{
    return lut.size() == 65536 &&
           std::all_of(lut.cbegin(), lut.cend(), [level](quint16 v) { return v == level; });
}

bool isIdentity(const QList<quint16>& lut)
{
    for (int i = 0; i < lut.size(); ++i) {
        if (lut[i] != i)
            return false;
    }
    return lut.size() == 65536;
}

} // namespace

class TestImgAdjModel : public QObject
{
    Q_OBJECT

private slots:
    void valuesAtTheirKeys()
    {
        VornObject owner(VornObject::TakeType);
        auto* model = new ImgAdjModel(&owner);
        QCOMPARE(model->parent(), &owner);
        const QStringList keys{"offset",     "offset_r",   "offset_b", "gain",    "gain_r",
                               "gain_b",     "gamma",      "gamma_r",  "gamma_b", "contrast",
                               "contrast_r", "contrast_b", "cfa",      "wb_r",    "wb_g",
                               "wb_b",       "wb_cal_r",   "wb_cal_g", "wb_cal_b"};
        QCOMPARE(owner.values().size(), keys.size());
        QCOMPARE(owner.values(), model->values());
        for (int i = 0; i < keys.size(); ++i) {
            VornValue* value = owner.values()[i];
            QCOMPARE(value->key(), (QStringList{"adjust", keys[i]}));
            QCOMPARE(value->altKey(), QStringList{QString()});
            QCOMPARE(value->valueType(), keys[i] == "cfa" ? int(VornValue::Int) : int(VornValue::Double));
        }
        QCOMPARE(model->property("gainB").value<VornValue*>(), model->gainB());
        QCOMPARE(model->property("wbCalG").value<VornValue*>(), model->wbCalG());

        // Defaults, and the values' storage is the block.
        const ImgAdjBlock& block = model->block();
        QCOMPARE(model->offset()->value(), QVariant(0.0));
        QCOMPARE(model->gainR()->value(), QVariant(1.0));
        QCOMPARE(model->gammaB()->value(), QVariant(1.0));
        QCOMPARE(model->contrast()->value(), QVariant(0.0));
        QCOMPARE(model->cfa()->value(), QVariant(0));
        QCOMPARE(model->wbG()->value(), QVariant(1.0));
        QCOMPARE(model->wbCalB()->value(), QVariant(1.0));
        QVERIFY(allEqual(block.lutR, 0) && allEqual(block.lutG, 0) && allEqual(block.lutB, 0));
        model->wbR()->setValue(2.5);
        QCOMPARE(block.wbR, QVariant(2.5));
        model->gammaR()->setValue(2.2);
        QCOMPARE(block.gammaR, QVariant(2.2));

        // Loaded with the owner's other values.
        owner.loadValues(
            QJsonDocument::fromJson(R"({"adjust": {"gain_b": 2.0, "cfa": 3, "wb_cal_r": 1.4}})").object());
        QCOMPARE(block.gainB, QVariant(2.0));
        QCOMPARE(block.cfa, QVariant(3));
        QCOMPARE(block.wbCalR, QVariant(1.4));
        QCOMPARE(block.lutB[100], quint16(200));
    }

    void changedChannelAloneRebuilt()
    {
        ImgAdjModel model;
        const ImgAdjBlock& block = model.block();
        QSignalSpy updated(&model, &ImgAdjModel::imgAdjUpdated);

        // A local edit of an R value rebuilds the R table only.
        model.gainR()->setValue(2.0);
        QCOMPARE(updated.count(), 1);
        QCOMPARE(block.lutR[1000], quint16(2000));
        QCOMPARE(block.lutR[40000], quint16(65535));
        QVERIFY(allEqual(block.lutG, 0));
        QVERIFY(allEqual(block.lutB, 0));

        // A remote update of a B value rebuilds the B table only.
        model.offsetB()->setJsonValue(QJsonValue(1.0));
        QCOMPARE(updated.count(), 2);
        QVERIFY(allEqual(block.lutB, 65535));
        QVERIFY(allEqual(block.lutG, 0));

        // The G channel has the unsuffixed names.
        model.contrast()->setValue(-1.0);
        QCOMPARE(updated.count(), 3);
        QVERIFY(allEqual(block.lutG, 32768));
        QCOMPARE(block.lutR[1000], quint16(2000));

        // An unchanged value does nothing.
        model.contrast()->setValue(-1.0);
        QCOMPARE(updated.count(), 3);

        // Colour layout and white balance change the picture, not the tables.
        model.contrast()->setValue(0.0);
        QList<quint16> lutG = block.lutG;
        lutG.detach();
        updated.clear();
        model.cfa()->setValue(2);
        model.wbB()->setValue(1.5);
        model.wbCalG()->setJsonValue(QJsonValue(0.9));
        QCOMPARE(updated.count(), 3);
        QVERIFY(block.lutG == lutG);
        QVERIFY(allEqual(block.lutB, 65535));

        // updateLut() rebuilds all three.
        model.gainR()->setValue(1.0);
        model.offsetB()->setValue(0.0);
        QVERIFY(isIdentity(block.lutB)); // offset back to 0 rebuilt B
        updated.clear();
        model.updateLut();
        QCOMPARE(updated.count(), 1);
        QVERIFY(isIdentity(block.lutR) && isIdentity(block.lutG) && isIdentity(block.lutB));
        model.updateLut(Util::R | Util::B);
        QCOMPARE(updated.count(), 2);
    }

    void resetIsQuiet()
    {
        ImgAdjModel model;
        const ImgAdjBlock& block = model.block();
        model.offsetR()->setValue(0.1);
        model.gainR()->setValue(2.0);
        model.gammaR()->setValue(0.5);
        model.contrastR()->setValue(0.3);
        model.gain()->setValue(3.0);
        model.gainB()->setValue(4.0);
        QSignalSpy updated(&model, &ImgAdjModel::imgAdjUpdated);
        QSignalSpy local(model.gainR(), &VornValue::valueChangedLocal);
        QSignalSpy changed(model.gainR(), &VornValue::valueChanged);

        model.reset(Util::R);
        QCOMPARE(model.offsetR()->value(), QVariant(0.0));
        QCOMPARE(model.gainR()->value(), QVariant(1.0));
        QCOMPARE(model.gammaR()->value(), QVariant(1.0));
        QCOMPARE(model.contrastR()->value(), QVariant(0.0));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(local.count(), 0);
        QCOMPARE(updated.count(), 1);
        QVERIFY(isIdentity(block.lutR));
        // Other channels keep their settings and tables.
        QCOMPARE(model.gain()->value(), QVariant(3.0));
        QCOMPARE(block.lutG[100], quint16(300));
        QCOMPARE(block.lutB[100], quint16(400));

        model.reset();
        QCOMPARE(model.gain()->value(), QVariant(1.0));
        QCOMPARE(model.gainB()->value(), QVariant(1.0));
        QCOMPARE(updated.count(), 2);
        QVERIFY(isIdentity(block.lutG) && isIdentity(block.lutB));
    }

    void rotateAndMirror()
    {
        ImgAdjModel model;
        QSignalSpy updated(&model, &ImgAdjModel::imgAdjUpdated);
        QSignalSpy rotate(&model, &ImgAdjModel::rotateChanged);
        QSignalSpy flipH(&model, &ImgAdjModel::flipHChanged);
        QSignalSpy flipV(&model, &ImgAdjModel::flipVChanged);
        model.setProperty("rotate", 90);
        model.setProperty("rotate", 90);
        QCOMPARE(model.block().rotate, QVariant(90));
        QCOMPARE(rotate.count(), 1);
        model.setFlipH(true);
        model.setFlipH(true);
        model.setFlipV(true);
        model.setFlipV(false);
        QCOMPARE(flipH.count(), 1);
        QCOMPARE(flipV.count(), 2);
        QCOMPARE(model.block().flipH, QVariant(true));
        QCOMPARE(model.block().flipV, QVariant(false));
        QCOMPARE(updated.count(), 4);
    }

    void overlaysExcludeEachOther()
    {
        ImgAdjModel model;
        QSignalSpy updated(&model, &ImgAdjModel::imgAdjUpdated);
        QSignalSpy exp(&model, &ImgAdjModel::expAssistChanged);
        QSignalSpy focus(&model, &ImgAdjModel::focusPeakChanged);

        model.setFocusPeak(ImgAdjModel::FocusPeakMed);
        QCOMPARE(model.block().focusPeak, 2);
        QCOMPARE(focus.count(), 1);
        QCOMPARE(updated.count(), 1);

        // Exposure assist turns focus peaking off.
        model.setExpAssist(ImgAdjModel::ExpAssistEnabled);
        QCOMPARE(model.expAssist(), ImgAdjModel::ExpAssistEnabled);
        QCOMPARE(model.focusPeak(), ImgAdjModel::FocusPeakDisabled);
        QCOMPARE(exp.count(), 1);
        QCOMPARE(focus.count(), 2);
        QCOMPARE(updated.count(), 3);

        // And focus peaking turns exposure assist off.
        model.setProperty("focusPeak", ImgAdjModel::FocusPeakHigh);
        QCOMPARE(model.block().focusPeak, 3);
        QCOMPARE(model.block().expAssist, 0);
        QCOMPARE(exp.count(), 2);
        QCOMPARE(focus.count(), 3);
        QCOMPARE(updated.count(), 5);

        // No change, no signal; turning one off leaves the other alone.
        model.setFocusPeak(ImgAdjModel::FocusPeakHigh);
        model.setExpAssist(ImgAdjModel::ExpAssistDisabled);
        QCOMPARE(updated.count(), 5);
        model.setFocusPeak(ImgAdjModel::FocusPeakDisabled);
        QCOMPARE(model.expAssist(), ImgAdjModel::ExpAssistDisabled);
        QCOMPARE(exp.count(), 2);
        QCOMPARE(focus.count(), 4);
    }

    void cameraValuesLiveInTheCamera()
    {
        // The camera makes its model as it is built.
        Camera camera(QHostAddress(QHostAddress::LocalHost), nullptr);
        auto* model = qobject_cast<CameraImgAdjModel*>(camera.imgAdjModel());
        QVERIFY(model);
        QCOMPARE(model->parent(), &camera);
        const qsizetype first = camera.values().indexOf(model->values().first());
        QVERIFY(first >= 0);
        QCOMPARE(camera.values().mid(first, 19), model->values());
        for (VornValue* value : model->values()) {
            QVERIFY(qobject_cast<CameraValue*>(value));
            QCOMPARE(value->parent(), &camera);
        }

        // Polled with the camera's document.
        camera.loadValues(QJsonDocument::fromJson(R"({"adjust": {"gamma": 2.0, "wb_cal_b": 1.3}})").object());
        QCOMPARE(model->block().gammaG, QVariant(2.0));
        QCOMPARE(model->block().lutG[16384], quint16(32768));
        QCOMPARE(model->block().wbCalB, QVariant(1.3));

        // A local edit waits to be sent to the camera.
        auto* gain = qobject_cast<CameraValue*>(model->gain());
        QSignalSpy local(gain, &VornValue::valueChangedLocal);
        gain->setValue(1.5);
        QCOMPARE(local.count(), 1);
        QVERIFY(gain->sendPending());
        // Gain 1.5 then gamma 2: sqrt(1500 * 65535) = 9914.76.
        QCOMPARE(model->block().lutG[1000], quint16(9915));

        // A model of its own appends its values after the camera's others.
        const qsizetype before = camera.values().size();
        auto* second = new CameraImgAdjModel(&camera);
        QCOMPARE(camera.values().size(), before + 19);
        QCOMPARE(camera.values().mid(before), second->values());
    }
};

// The camera needs the application object (its frame uses the pipeline).
VORN_TEST_MAIN(TestImgAdjModel)
#include "tst_imgadjmodel.moc"
