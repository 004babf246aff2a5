#pragma once

#include "ImgSearch.h"
#include "PlaybackClock.h"
#include "VornObject.h"
#include "VornValue.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QtQml/qqmlregistration.h>
#include <functional>
#include <limits>
#include <memory>

// Everything with recorded frames (takes in camera memory or on its SSD, VORN
// files): a frame position, an in/out range, the recording's values and the
// playback engine. Playback follows the wall clock: the position is computed
// from the time elapsed since the last re-base, so frames whose fetch cannot
// start in time are skipped instead of queueing up.
class PlaybackVornObject : public VornObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the application")
    Q_PROPERTY(qint64 fr READ fr WRITE setFrProperty NOTIFY frChanged)
    Q_PROPERTY(qint64 aFr READ aFr WRITE setAFrProperty NOTIFY aFrChanged)
    Q_PROPERTY(qint64 bFr READ bFr WRITE setBFrProperty NOTIFY bFrChanged)
    Q_PROPERTY(State state READ state NOTIFY stateChanged)
    Q_PROPERTY(double playFrRate READ playFrRate WRITE setPlayFrRate NOTIFY playFrRateChanged)
    Q_PROPERTY(int playStep READ playStep WRITE setPlayStep NOTIFY playStepChanged)
    Q_PROPERTY(RepeatMode repeatMode READ repeatMode WRITE setRepeatMode NOTIFY repeatModeChanged)
    Q_PROPERTY(bool valuesInit READ valuesInit NOTIFY valuesInitChanged)
    Q_PROPERTY(VornValue* firstFr MEMBER m_firstFr CONSTANT)
    Q_PROPERTY(VornValue* lastFr MEMBER m_lastFr CONSTANT)
    Q_PROPERTY(VornValue* frCnt MEMBER m_frCnt CONSTANT)
    Q_PROPERTY(VornValue* ptFrCnt MEMBER m_ptFrCnt CONSTANT)
    Q_PROPERTY(VornValue* trigTsS MEMBER m_trigTsS CONSTANT)
    Q_PROPERTY(VornValue* trigTsNs MEMBER m_trigTsNs CONSTANT)
    Q_PROPERTY(VornValue* trigSrc MEMBER m_trigSrc CONSTANT)
    Q_PROPERTY(VornValue* res MEMBER m_res CONSTANT)
    Q_PROPERTY(VornValue* bpp MEMBER m_bpp CONSTANT)
    Q_PROPERTY(VornValue* expClks MEMBER m_expClks CONSTANT)
    Q_PROPERTY(VornValue* expTime MEMBER m_expTime CONSTANT)
    Q_PROPERTY(VornValue* frClks MEMBER m_frClks CONSTANT)
    Q_PROPERTY(VornValue* frRate MEMBER m_frRate CONSTANT)
    Q_PROPERTY(VornValue* fsyncMode MEMBER m_fsyncMode CONSTANT)
    Q_PROPERTY(VornValue* fsyncState MEMBER m_fsyncState CONSTANT)
    Q_PROPERTY(VornValue* cameraName MEMBER m_cameraName CONSTANT)
    Q_PROPERTY(VornValue* cameraSerial MEMBER m_cameraSerial CONSTANT)
    Q_PROPERTY(VornValue* cameraModel MEMBER m_cameraModel CONSTANT)
    Q_PROPERTY(VornValue* cameraModelId MEMBER m_cameraModelId CONSTANT)
    Q_PROPERTY(VornValue* cfa MEMBER m_cfa CONSTANT)
    Q_PROPERTY(VornValue* fwVer MEMBER m_fwVer CONSTANT)
    Q_PROPERTY(VornValue* metaSize MEMBER m_metaSize CONSTANT)
    Q_PROPERTY(VornValue* yearOffset MEMBER m_yearOffset CONSTANT)
    Q_PROPERTY(VornValue* lensMount MEMBER m_lensMount CONSTANT)
    Q_PROPERTY(VornValue* lensId MEMBER m_lensId CONSTANT)
    Q_PROPERTY(VornValue* lensName MEMBER m_lensName CONSTANT)
    Q_PROPERTY(VornValue* lensAFSwitch MEMBER m_lensAFSwitch CONSTANT)
    Q_PROPERTY(VornValue* lensFocalLenMin MEMBER m_lensFocalLenMin CONSTANT)
    Q_PROPERTY(VornValue* lensFocalLenMax MEMBER m_lensFocalLenMax CONSTANT)
    Q_PROPERTY(VornValue* lensFocalLen MEMBER m_lensFocalLen CONSTANT)
    Q_PROPERTY(VornValue* lensFstopMin MEMBER m_lensFstopMin CONSTANT)
    Q_PROPERTY(VornValue* lensFstopMax MEMBER m_lensFstopMax CONSTANT)
    Q_PROPERTY(VornValue* lensFstop MEMBER m_lensFstop CONSTANT)
    Q_PROPERTY(VornValue* lensFocusDist MEMBER m_lensFocusDist CONSTANT)
    Q_PROPERTY(VornValue* corrMode READ corrMode CONSTANT)
    Q_PROPERTY(ImgSearch* imgSearch READ imgSearch CONSTANT)

public:
    enum StateBit { PlayBit = 1, RevBit = 2, FastBit = 4 };
    enum State { Paused = 0, Play = 1, PlayRev = 3, PlayFastFwd = 5, PlayFastRev = 7 };
    Q_ENUM(State)
    enum RepeatMode { RepeatLoop = 0, RepeatPingPong = 1 };
    Q_ENUM(RepeatMode)

    // Makes the object's recording values; the kind of value depends on where
    // they live (camera take, VORN file).
    using ValueFactory =
        std::function<VornValue*(const QStringList& key, int type, const QStringList& altKey)>;

    PlaybackVornObject(Type type, QObject* parent, const QString& nameSuffix, const ValueFactory& makeValue);

    qint64 fr() const { return m_fr; }
    qint64 aFr() const { return m_aFr; }
    qint64 bFr() const { return m_bFr; }
    void setFr(qint64 fr, bool force);
    void setAFr(qint64 aFr, bool force);
    void setBFr(qint64 bFr, bool force);
    qint64 lastRequestedFr() const { return m_lastRequestedFr; }

    State state() const { return m_state; }
    int speed() const { return m_speed; }
    double playFrRate() const { return 1e9 / double(m_framePeriodNs); }
    void setPlayFrRate(double rate);
    qint64 framePeriodNs() const { return m_framePeriodNs; }
    int playStep() const { return m_playStep; }
    void setPlayStep(int step);
    RepeatMode repeatMode() const { return m_repeatMode; }
    void setRepeatMode(RepeatMode mode);
    bool valuesInit() const { return m_valuesInit; }
    void setValuesInit(bool init);

    // First and last frame of the recording (0 until the values are loaded).
    qint64 firstFrame() const { return m_firstFr->value().toLongLong(); }
    qint64 lastFrame() const { return m_lastFr->value().toLongLong(); }
    VornValue* corrMode() const { return m_corrMode; }
    VornValue* frCntValue() const { return m_frCnt; }
    VornValue* metaSizeValue() const { return m_metaSize; }
    VornValue* clkFreqValue() const { return m_clkFreq; }
    VornValue* firstFrValue() const { return m_firstFr; }
    VornValue* lastFrValue() const { return m_lastFr; }
    VornValue* frClksValue() const { return m_frClks; }
    VornValue* frRateValue() const { return m_frRate; }
    VornValue* trigTsSValue() const { return m_trigTsS; }
    VornValue* trigTsNsValue() const { return m_trigTsNs; }
    VornValue* cameraNameValue() const { return m_cameraName; }
    ImgSearch* imgSearch() const { return m_imgSearch; }

    int fetchFrame(RawFrame* frame) override;
    int requestFrame() override;
    quint64 yearOffsetSeconds() const override { return quint64(m_yearOffset->value().toLongLong()); }
    // Starts fetching frame `fr` into `frame`; 0 on success.
    virtual int getFrame(RawFrame* frame, qint64 fr) = 0;

    // Milliseconds between two pictures of the screen (60 Hz when unknown):
    // playback makes frames no faster than that.
    static int displayIntervalMs();

    // Replaces the wall clock (tests step time with a clock of their own).
    void setClock(std::unique_ptr<PlaybackClock> clock);

    Q_INVOKABLE void pause();
    Q_INVOKABLE void play();
    Q_INVOKABLE void playRev();
    Q_INVOKABLE void playFastFwd();
    Q_INVOKABLE void playFastRev();
    Q_INVOKABLE void stepFrRev();
    Q_INVOKABLE void stepFrFwd();

    void frameReady() override;

public slots:
    // Fetches and processes the shown frame again while paused, so that an
    // adjustment shows at once.
    void refreshFrame();

signals:
    void frChanged();
    void aFrChanged();
    void bFrChanged();
    void stateChanged();
    void playFrRateChanged();
    void playStepChanged();
    void repeatModeChanged();
    void valuesInitChanged();
    void valuesInitFinished();

protected:
    // Set by a subclass whose corrMode value is writable.
    void setCorrModeValue(VornValue* value) { m_corrMode = value; }

private slots:
    void incrementFrame();

private:
    struct ValueSpec
    {
        VornValue* PlaybackVornObject::*member;
        const char* key;
        const char* altKey;
        VornValue::Type type;
    };
    static const ValueSpec s_valueSpecs[];

    void setFrProperty(qint64 fr) { setFr(fr, false); }
    void setAFrProperty(qint64 aFr) { setAFr(aFr, false); }
    void setBFrProperty(qint64 bFr) { setBFr(bFr, false); }
    void rebase(qint64 base);
    // The next step of a playing object, run from the event loop after a
    // frame was shown.
    void advance();
    void setPlayback(State state, int speed);
    void updateTimer();

    qint64 m_fr = std::numeric_limits<qint64>::min();
    qint64 m_aFr = std::numeric_limits<qint64>::min();
    qint64 m_bFr = std::numeric_limits<qint64>::max();
    qint64 m_lastRequestedFr = 0;
    State m_state = Play;
    int m_speed = 1;
    qint64 m_framePeriodNs = 33333333;
    int m_playStep = 1;
    RepeatMode m_repeatMode = RepeatLoop;
    QTimer* m_tickTimer;
    QTimer* m_advanceTimer;
    // Since the last frame was asked for: the next is asked for no sooner
    // than the screen can show it.
    QElapsedTimer m_sinceRequest;
    std::unique_ptr<PlaybackClock> m_clock;
    qint64 m_base = 0;
    bool m_valuesInit = false;
    ImgSearch* m_imgSearch = nullptr;

    VornValue* m_firstFr = nullptr;
    VornValue* m_lastFr = nullptr;
    VornValue* m_frCnt = nullptr;
    VornValue* m_ptFrCnt = nullptr;
    VornValue* m_trigTsS = nullptr;
    VornValue* m_trigTsNs = nullptr;
    VornValue* m_trigSrc = nullptr;
    VornValue* m_res = nullptr;
    VornValue* m_bpp = nullptr;
    VornValue* m_expClks = nullptr;
    VornValue* m_expTime = nullptr;
    VornValue* m_frClks = nullptr;
    VornValue* m_frRate = nullptr;
    VornValue* m_fsyncMode = nullptr;
    VornValue* m_fsyncState = nullptr;
    VornValue* m_cameraName = nullptr;
    VornValue* m_cameraSerial = nullptr;
    VornValue* m_cameraModel = nullptr;
    VornValue* m_cameraModelId = nullptr;
    VornValue* m_cfa = nullptr;
    VornValue* m_fwVer = nullptr;
    VornValue* m_metaSize = nullptr;
    VornValue* m_yearOffset = nullptr;
    VornValue* m_lensMount = nullptr;
    VornValue* m_lensId = nullptr;
    VornValue* m_lensName = nullptr;
    VornValue* m_lensAFSwitch = nullptr;
    VornValue* m_lensFocalLenMin = nullptr;
    VornValue* m_lensFocalLenMax = nullptr;
    VornValue* m_lensFocalLen = nullptr;
    VornValue* m_lensFstopMin = nullptr;
    VornValue* m_lensFstopMax = nullptr;
    VornValue* m_lensFstop = nullptr;
    VornValue* m_lensFocusDist = nullptr;
    VornValue* m_clkFreq = nullptr;
    VornValue* m_corrMode = nullptr;
};
