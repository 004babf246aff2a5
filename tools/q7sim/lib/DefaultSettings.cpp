#include "DefaultSettings.h"

#include "SensorModes.h"

#include <QJsonArray>

namespace q7sim {

namespace {

QJsonObject ioLine(const char* signal, int mode, int filter)
{
    return QJsonObject{{QStringLiteral("signal"), QString::fromLatin1(signal)},
                       {QStringLiteral("mode"), mode},
                       {QStringLiteral("polarity"), 0},
                       {QStringLiteral("filter"), filter},
                       {QStringLiteral("delay"), 0},
                       {QStringLiteral("min"), 0},
                       {QStringLiteral("max"), 0}};
}

} // namespace

QJsonObject defaultSettings(const CameraConfig& config)
{
    QJsonObject values;
    const bool colour = config.cfa != Cfa::Mono;
    const QString res = SensorModes::isOffered(config.res) ? config.res : QStringLiteral("640x480");

    values.insert(
        QStringLiteral("camera"),
        QJsonObject{
            {QStringLiteral("name"), config.effectiveName()},
            {QStringLiteral("serial"), config.effectiveSerial()},
            {QStringLiteral("model"), colour ? QStringLiteral("Q7-2000C") : QStringLiteral("Q7-2000M")},
            {QStringLiteral("model_id"), colour ? 7201 : 7200},
            {QStringLiteral("cfa"), static_cast<int>(config.cfa)},
            {QStringLiteral("fw_ver"), QStringLiteral("3.4.2")},
            {QStringLiteral("fw_state"), 0},
            {QStringLiteral("low_light"),
             QJsonObject{{QStringLiteral("mode"), 0}, {QStringLiteral("exp_clks"), 1000003}}}});

    values.insert(
        QStringLiteral("acq"),
        QJsonObject{
            {QStringLiteral("mode"), 0},
            {QStringLiteral("clk_freq"), static_cast<qint64>(SensorModes::ClockHz)},
            {QStringLiteral("exp_clks"), 50003},
            {QStringLiteral("exp_clks_min"), SensorModes::ExposureClocksMin},
            {QStringLiteral("exp_clks_max"), 0},
            {QStringLiteral("exp_clks_mult"), SensorModes::ExposureGridStep},
            {QStringLiteral("exp_clks_ofst"), SensorModes::ExposureGridOffset},
            {QStringLiteral("exp_time"), 0.0},
            {QStringLiteral("fr_rate"), 0.0},
            {QStringLiteral("fr_clks"), 100000},
            {QStringLiteral("fr_clks_min"), 0},
            {QStringLiteral("fr_clks_max"), static_cast<qint64>(SensorModes::FrameClocksMax)},
            {QStringLiteral("fsync_mode"), 0},
            {QStringLiteral("fsync_state"), 0},
            {QStringLiteral("trig_offset"), 1000},
            {QStringLiteral("prtn_cnt"), 1},
            {QStringLiteral("corr_mode"), 0},
            {QStringLiteral("res"), res},
            {QStringLiteral("bpp"), 8},
            {QStringLiteral("valid_res"), QJsonArray::fromStringList(SensorModes::validResolutions())}});

    values.insert(QStringLiteral("lens"),
                  QJsonObject{{QStringLiteral("mount"), QStringLiteral("EF")},
                              {QStringLiteral("state"), 3},
                              {QStringLiteral("id"), 42},
                              {QStringLiteral("name"), QStringLiteral("EF 24-70mm f/2.8")},
                              {QStringLiteral("af_switch"), 0},
                              {QStringLiteral("focal_len_min"), 24},
                              {QStringLiteral("focal_len_max"), 70},
                              {QStringLiteral("focal_len"), 50},
                              // smallest aperture (largest f-number) first
                              {QStringLiteral("fstop_min"), 22.0},
                              {QStringLiteral("fstop_max"), 2.8},
                              {QStringLiteral("fstop"), 5.6},
                              {QStringLiteral("focus_dist"), 3.2}});
    values.insert(QStringLiteral("shtr"), QJsonObject{{QStringLiteral("state"), 0}});

    // The SSD's own members are filled in from SsdDrive on every read; the
    // autosave members are stored here.
    values.insert(QStringLiteral("ssd"),
                  QJsonObject{{QStringLiteral("state"), 0},
                              {QStringLiteral("wr_state"), 0},
                              {QStringLiteral("wr_seq"), 0},
                              {QStringLiteral("progress"), 0},
                              {QStringLiteral("name"), QString()},
                              {QStringLiteral("size"), QStringLiteral("0")},
                              {QStringLiteral("used"), QStringLiteral("0")},
                              {QStringLiteral("name_seq"), 1},
                              {QStringLiteral("autosave"), QJsonObject{{QStringLiteral("mode"), 0},
                                                                       {QStringLiteral("start"), 0},
                                                                       {QStringLiteral("cnt"), 0},
                                                                       {QStringLiteral("name"), QString()}}},
                              {QStringLiteral("open_takes"), QJsonArray()},
                              {QStringLiteral("takes"), QJsonObject()}});

    values.insert(QStringLiteral("meta"),
                  QJsonObject{{QStringLiteral("size"), config.metaSize < 32 ? 32 : config.metaSize},
                              {QStringLiteral("year_offset"), 0},
                              {QStringLiteral("time"), QString()}});
    values.insert(
        QStringLiteral("video"),
        QJsonObject{{QStringLiteral("format"), QStringLiteral("1920x1080p25")},
                    {QStringLiteral("valid_format"),
                     QJsonArray{QStringLiteral("1280x720p50"), QStringLiteral("1280x720p59.94"),
                                QStringLiteral("1280x720p60"), QStringLiteral("1920x1080p23.98"),
                                QStringLiteral("1920x1080p24"), QStringLiteral("1920x1080p25"),
                                QStringLiteral("1920x1080p29.97"), QStringLiteral("1920x1080p30")}}});
    // A camera with an SSD runs firmware that saves and formats.
    const int ssdLevel = config.ssdBytes == 0 ? 0 : config.ssdOldFirmware ? 1 : 3;
    values.insert(QStringLiteral("features"),
                  QJsonObject{{QStringLiteral("corr_mode"), 1},
                              {QStringLiteral("low_light"), 1},
                              {QStringLiteral("q7fw"), config.oldFirmware ? 1 : 2},
                              {QStringLiteral("lens"), 3},
                              {QStringLiteral("shtr"), 1},
                              {QStringLiteral("ssd-format"), ssdLevel > 0 ? 1 : 0},
                              {QStringLiteral("ssd-save"), ssdLevel}});

    QJsonObject io;
    io.insert(QStringLiteral("trigger"), ioLine("trig", 1, 100));
    io.insert(QStringLiteral("io1"), ioLine("ready", 4, 0));
    io.insert(QStringLiteral("io2"), ioLine("rec", 4, 0));
    io.insert(QStringLiteral("io3"), ioLine("event1", 1, 100));
    io.insert(QStringLiteral("io4"), ioLine("event2", 1, 100));
    io.insert(QStringLiteral("io5"), ioLine("", 0, 0));
    io.insert(QStringLiteral("io6"), ioLine("", 0, 0));
    values.insert(QStringLiteral("io"), io);

    // White-balance calibration of the colour filter; a mono sensor needs none.
    const double calR = colour ? 1.18 : 1.0, calB = colour ? 1.36 : 1.0;
    values.insert(QStringLiteral("adjust"), QJsonObject{{QStringLiteral("offset"), 0.0},
                                                        {QStringLiteral("offset_r"), 0.0},
                                                        {QStringLiteral("offset_b"), 0.0},
                                                        {QStringLiteral("gain"), 1.0},
                                                        {QStringLiteral("gain_r"), 1.0},
                                                        {QStringLiteral("gain_b"), 1.0},
                                                        {QStringLiteral("gamma"), 1.0},
                                                        {QStringLiteral("gamma_r"), 1.0},
                                                        {QStringLiteral("gamma_b"), 1.0},
                                                        {QStringLiteral("contrast"), 0.0},
                                                        {QStringLiteral("contrast_r"), 0.0},
                                                        {QStringLiteral("contrast_b"), 0.0},
                                                        {QStringLiteral("cfa"), static_cast<int>(config.cfa)},
                                                        {QStringLiteral("wb_r"), 1.0},
                                                        {QStringLiteral("wb_g"), 1.0},
                                                        {QStringLiteral("wb_b"), 1.0},
                                                        {QStringLiteral("wb_cal_r"), calR},
                                                        {QStringLiteral("wb_cal_g"), 1.0},
                                                        {QStringLiteral("wb_cal_b"), calB}});
    return values;
}

} // namespace q7sim
