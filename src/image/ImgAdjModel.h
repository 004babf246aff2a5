#pragma once

#include "ImgAdjBlock.h"
#include "Util.h"

#include <QObject>
#include <QVariant>
#include <QtQml/qqmlregistration.h>
#include <functional>

class VornObject;
class VornValue;

// The image adjustment settings of one playable object, exposed to QML, and
// the three 16-bit tables derived from them. The settings that persist are
// value objects whose storage is the adjustment block; they are appended to
// the owning object's value list, so they load and store with its other
// values. Rotation, mirroring and the overlays live in memory only.
//
// This class makes plain VornValues; the subclasses make the value kind whose
// home matches their owner (camera, take or VORN file).
class ImgAdjModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the application")
    Q_PROPERTY(VornValue* offset READ offset CONSTANT)
    Q_PROPERTY(VornValue* offsetR READ offsetR CONSTANT)
    Q_PROPERTY(VornValue* offsetB READ offsetB CONSTANT)
    Q_PROPERTY(VornValue* gain READ gain CONSTANT)
    Q_PROPERTY(VornValue* gainR READ gainR CONSTANT)
    Q_PROPERTY(VornValue* gainB READ gainB CONSTANT)
    Q_PROPERTY(VornValue* gamma READ gamma CONSTANT)
    Q_PROPERTY(VornValue* gammaR READ gammaR CONSTANT)
    Q_PROPERTY(VornValue* gammaB READ gammaB CONSTANT)
    Q_PROPERTY(VornValue* contrast READ contrast CONSTANT)
    Q_PROPERTY(VornValue* contrastR READ contrastR CONSTANT)
    Q_PROPERTY(VornValue* contrastB READ contrastB CONSTANT)
    Q_PROPERTY(VornValue* cfa READ cfa CONSTANT)
    Q_PROPERTY(VornValue* wbR READ wbR CONSTANT)
    Q_PROPERTY(VornValue* wbG READ wbG CONSTANT)
    Q_PROPERTY(VornValue* wbB READ wbB CONSTANT)
    Q_PROPERTY(VornValue* wbCalR READ wbCalR CONSTANT)
    Q_PROPERTY(VornValue* wbCalG READ wbCalG CONSTANT)
    Q_PROPERTY(VornValue* wbCalB READ wbCalB CONSTANT)
    Q_PROPERTY(QVariant rotate READ rotate WRITE setRotate NOTIFY rotateChanged)
    Q_PROPERTY(QVariant flipH READ flipH WRITE setFlipH NOTIFY flipHChanged)
    Q_PROPERTY(QVariant flipV READ flipV WRITE setFlipV NOTIFY flipVChanged)
    Q_PROPERTY(ExpAssist expAssist READ expAssist WRITE setExpAssist NOTIFY expAssistChanged)
    Q_PROPERTY(FocusPeak focusPeak READ focusPeak WRITE setFocusPeak NOTIFY focusPeakChanged)

public:
    enum ExpAssist {
        ExpAssistDisabled = 0,
        ExpAssistEnabled = 1,
    };
    Q_ENUM(ExpAssist)
    enum FocusPeak {
        FocusPeakDisabled = 0,
        FocusPeakLow = 1,
        FocusPeakMed = 2,
        FocusPeakHigh = 3,
    };
    Q_ENUM(FocusPeak)

    // Makes plain VornValues. The model is a child of its owner and appends
    // its 19 values to the owner's value list; without an owner the values
    // are the model's alone.
    explicit ImgAdjModel(VornObject* owner = nullptr);

    // The block the pipeline reads; a frame processor keeps its address.
    const ImgAdjBlock& block() const { return m_block; }

    // The value objects, in the order they are appended to the owner's list.
    const QList<VornValue*>& values() const { return m_values; }
    VornValue* offset() const { return m_offsetG; }
    VornValue* offsetR() const { return m_offsetR; }
    VornValue* offsetB() const { return m_offsetB; }
    VornValue* gain() const { return m_gainG; }
    VornValue* gainR() const { return m_gainR; }
    VornValue* gainB() const { return m_gainB; }
    VornValue* gamma() const { return m_gammaG; }
    VornValue* gammaR() const { return m_gammaR; }
    VornValue* gammaB() const { return m_gammaB; }
    VornValue* contrast() const { return m_contrastG; }
    VornValue* contrastR() const { return m_contrastR; }
    VornValue* contrastB() const { return m_contrastB; }
    VornValue* cfa() const { return m_cfa; }
    VornValue* wbR() const { return m_wbR; }
    VornValue* wbG() const { return m_wbG; }
    VornValue* wbB() const { return m_wbB; }
    VornValue* wbCalR() const { return m_wbCalR; }
    VornValue* wbCalG() const { return m_wbCalG; }
    VornValue* wbCalB() const { return m_wbCalB; }

    QVariant rotate() const { return m_block.rotate; }
    void setRotate(const QVariant& rotate);
    QVariant flipH() const { return m_block.flipH; }
    void setFlipH(const QVariant& flipH);
    QVariant flipV() const { return m_block.flipV; }
    void setFlipV(const QVariant& flipV);
    ExpAssist expAssist() const { return ExpAssist(m_block.expAssist); }
    void setExpAssist(ExpAssist expAssist);
    FocusPeak focusPeak() const { return FocusPeak(m_block.focusPeak); }
    void setFocusPeak(FocusPeak focusPeak);

    // Sets offset 0, gain 1, gamma 1 and contrast 0 of each channel in colors
    // with the values' quiet setter, then rebuilds those tables.
    Q_INVOKABLE void reset(Util::Colors colors);
    Q_INVOKABLE void reset() { reset(allColors()); }

public slots:
    // Rebuilds the table of each channel in colors from that channel's
    // offset, gain, gamma and contrast, then announces the change.
    void updateLut(Util::Colors colors);
    void updateLut() { updateLut(allColors()); }

signals:
    // Any change that alters the picture.
    void imgAdjUpdated();
    void rotateChanged();
    void flipHChanged();
    void flipVChanged();
    void expAssistChanged();
    void focusPeakChanged();

protected:
    // Makes a value object at a key path whose storage is a member of the
    // block; the subclasses give the value kind and its parent.
    using ValueFactory = std::function<VornValue*(const QStringList& key, int type, QVariant* storage)>;
    ImgAdjModel(VornObject* owner, const ValueFactory& makeValue);

private:
    static Util::Colors allColors() { return Util::R | Util::G | Util::B; }
    void createValues(VornObject* owner, const ValueFactory& makeValue);
    void onValueChanged(Util::Color lutChannel);

    ImgAdjBlock m_block;
    QList<VornValue*> m_values;
    // Set while reset() writes the values, so their changes do not rebuild
    // the tables one value at a time.
    bool m_resetting = false;

    VornValue* m_offsetG = nullptr;
    VornValue* m_offsetR = nullptr;
    VornValue* m_offsetB = nullptr;
    VornValue* m_gainG = nullptr;
    VornValue* m_gainR = nullptr;
    VornValue* m_gainB = nullptr;
    VornValue* m_gammaG = nullptr;
    VornValue* m_gammaR = nullptr;
    VornValue* m_gammaB = nullptr;
    VornValue* m_contrastG = nullptr;
    VornValue* m_contrastR = nullptr;
    VornValue* m_contrastB = nullptr;
    VornValue* m_cfa = nullptr;
    VornValue* m_wbR = nullptr;
    VornValue* m_wbG = nullptr;
    VornValue* m_wbB = nullptr;
    VornValue* m_wbCalR = nullptr;
    VornValue* m_wbCalG = nullptr;
    VornValue* m_wbCalB = nullptr;
};
