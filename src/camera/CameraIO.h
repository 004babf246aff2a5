#pragma once

#include "CameraValue.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QStringListModel>
#include <QtQml/qqmlregistration.h>

class Camera;

// One I/O line of a camera: the trigger input or one of the six
// general-purpose lines. The camera holds the line's configuration in seven
// values under io/<token>/ (signal code, mode code, polarity code and four
// timings in clocks); the line mirrors them and derives, from fixed tables of
// signals, modes and polarities, the choice lists, current indices and
// adjustment flags that the line's pane binds to. A choice by index is turned
// back into the camera's code and written into the value, which sends it.
class CameraIO : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the application")
    Q_PROPERTY(QString name READ name CONSTANT)
    Q_PROPERTY(QString token READ token CONSTANT)
    Q_PROPERTY(CameraValue* signal READ signal CONSTANT)
    Q_PROPERTY(QStringListModel* signalList READ signalList CONSTANT)
    Q_PROPERTY(int signalIndex READ signalIndex NOTIFY signalIndexChanged)
    // Hz of the clock the line's timings count in: the camera's clock for
    // signals timed by it, the I/O clock for the others.
    Q_PROPERTY(uint clkFreq READ clkFreq NOTIFY clkFreqChanged)
    Q_PROPERTY(CameraValue* mode READ mode CONSTANT)
    Q_PROPERTY(QStringListModel* modeList READ modeList CONSTANT)
    Q_PROPERTY(int modeIndex READ modeIndex NOTIFY modeIndexChanged)
    Q_PROPERTY(CameraValue* polarity READ polarity CONSTANT)
    Q_PROPERTY(QStringListModel* polarityList READ polarityList CONSTANT)
    Q_PROPERTY(int polarityIndex READ polarityIndex NOTIFY polarityIndexChanged)
    Q_PROPERTY(CameraValue* filter READ filter CONSTANT)
    Q_PROPERTY(bool filterEn READ filterEn NOTIFY manipEnsChanged)
    Q_PROPERTY(CameraValue* delay READ delay CONSTANT)
    Q_PROPERTY(bool delayEn READ delayEn NOTIFY manipEnsChanged)
    Q_PROPERTY(CameraValue* min READ min CONSTANT)
    Q_PROPERTY(bool minEn READ minEn NOTIFY manipEnsChanged)
    Q_PROPERTY(CameraValue* max READ max CONSTANT)
    Q_PROPERTY(bool maxEn READ maxEn NOTIFY manipEnsChanged)

public:
    enum Type { User = 0, Trig = 1 };
    Q_ENUM(Type)

    // Adjustment bits of the signal and mode tables.
    enum Manip { ManipFilter = 1, ManipDelay = 2, ManipMin = 4, ManipMax = 8 };
    // How a signal's polarity is named.
    enum PolarityKind { PolarityNone = 0, PolarityLevel = 1, PolarityEdge = 2 };

    struct SignalRow
    {
        QString name;
        int modes = 0;        // mask of allowed mode codes
        int polarityMask = 0; // bit 0: second polarity, bit 1: trailing polarities
        int polarityKind = PolarityNone;
        int manips = 0; // Manip bits
        bool cameraClock = false;
    };
    struct ModeRow
    {
        QString name;
        bool input = false;
        int manips = 0;
    };
    struct PolarityRow
    {
        QString levelName;
        QString edgeName;
    };

    // Table look-ups; a code not in the table gives an empty row (empty
    // names, all numbers 0), so unknown codes from a camera select nothing.
    SignalRow signalRow(const QString& code) const { return m_signalTable->value(code); }
    static ModeRow modeRow(int code);
    static PolarityRow polarityRow(int code);

    // The clock that lines not timed by the camera's own clock count in.
    static constexpr uint IoClockHz = 125000000;

    // The line's values are values of `camera` (its children, in its value
    // list), so that polls fill them and writes reach the camera.
    CameraIO(const QString& name, const QString& token, Camera* camera, Type type);

    // The camera's lines in their order: the trigger input, then I/O 1 to 6.
    static QList<CameraIO*> createLines(Camera* camera);

    QString name() const { return m_name; }
    QString token() const { return m_token; }
    Type type() const { return m_type; }

    CameraValue* signal() const { return m_signal; }
    QStringListModel* signalList() const { return m_signalList; }
    int signalIndex() const { return m_signalIndex; }
    uint clkFreq() const { return m_clkFreq; }
    CameraValue* mode() const { return m_mode; }
    QStringListModel* modeList() const { return m_modeList; }
    int modeIndex() const { return m_modeIndex; }
    CameraValue* polarity() const { return m_polarity; }
    QStringListModel* polarityList() const { return m_polarityList; }
    int polarityIndex() const { return m_polarityIndex; }
    CameraValue* filter() const { return m_filter; }
    bool filterEn() const { return m_filterEn; }
    CameraValue* delay() const { return m_delay; }
    bool delayEn() const { return m_delayEn; }
    CameraValue* min() const { return m_min; }
    bool minEn() const { return m_minEn; }
    CameraValue* max() const { return m_max; }
    bool maxEn() const { return m_maxEn; }

public slots:
    // Fills the signal list and rebuilds everything that follows from the
    // current values; the camera calls it when it becomes connected.
    void update();
    // Choices by position in the lists. A position outside the list (as a
    // combo box reports while it has nothing selected) writes nothing.
    void setSignalByIndex(int index);
    void setModeByIndex(int index);
    void setPolarityByIndex(int index);

signals:
    void signalIndexChanged();
    void clkFreqChanged();
    void modeIndexChanged();
    void polarityIndexChanged();
    void manipEnsChanged();

private slots:
    void updateSignalIndex();
    void updateModeIndex();
    void updatePolarityIndex();
    void updateManipEns();
    void updateClkFreq();

private:
    CameraValue* createValue(const char* key, VornValue::Type type);
    void buildModeList();
    void buildPolarityList();
    SignalRow currentSignalRow() const { return signalRow(m_signal->value().toString()); }

    const QString m_name;
    const QString m_token;
    Camera* const m_camera;
    const Type m_type;
    // Keyed by code; a map lists its rows in the codes' text order.
    const QMap<QString, SignalRow>* m_signalTable;

    CameraValue* m_signal = nullptr;
    CameraValue* m_mode = nullptr;
    CameraValue* m_polarity = nullptr;
    CameraValue* m_filter = nullptr;
    CameraValue* m_delay = nullptr;
    CameraValue* m_min = nullptr;
    CameraValue* m_max = nullptr;

    QStringListModel* m_signalList = nullptr;
    QStringListModel* m_modeList = nullptr;
    QStringListModel* m_polarityList = nullptr;
    int m_signalIndex = -1;
    int m_modeIndex = -1;
    int m_polarityIndex = 0;
    uint m_clkFreq = IoClockHz;
    bool m_filterEn = false;
    bool m_delayEn = false;
    bool m_minEn = false;
    bool m_maxEn = false;
};
