#pragma once

#include <QString>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

// The maker's update manifest, "/latest-versions.json": the newest application
// version per desktop platform and the newest firmware per camera model. The
// application and each camera ask it on their own; this holds what they share.
namespace UpdateManifest {

// The maker's update server; the setting vorn/update_manifest_url or the
// environment variable VORN_UPDATE_MANIFEST_URL (which wins) replace the whole
// address, scheme included, so a test bench can point it at its own server.
constexpr const char* DefaultHost = "updates.korvanstead.com";
constexpr const char* AddressSetting = "vorn/update_manifest_url";
constexpr const char* AddressEnvironment = "VORN_UPDATE_MANIFEST_URL";

QUrl address(const QString& configured);

// GETs the manifest with the program's user agent; `manual` travels in the
// reply's dynamic property "manual". Null without a network manager.
QNetworkReply* request(QNetworkAccessManager* manager, const QUrl& address, bool manual);

struct Answer
{
    enum Kind {
        Failed,    // no usable entry: only a manual check says so
        UpToDate,  // the running version is the newest
        Offer,     // a different version is to be offered
        Suppressed // a different version, skipped by the user, silent check
    };
    Kind kind = Failed;
    QString version; // the manifest's version (Offer, Suppressed, UpToDate)
    QString msg;
};

// What a finished manifest reply means for one product: `section` "vorn" or
// "q7fw", `member` the platform or model id, `running` the version in use.
Answer evaluate(QNetworkReply* reply, const QString& section, const QString& member, const QString& running,
                const QString& skip, bool manual);

// The manifest member of a camera model: its model id in decimal; a camera
// reporting 0 is known by its model name instead ("0" for unknown names).
QString cameraModelKey(qint64 modelId, const QString& modelName);

} // namespace UpdateManifest
