// The SSD listing (/ssd-ls) as the open dialog uses it: the entries made from
// it, sorted in each of the dialog's orders, and the selected files opened
// (/ssd-fopen) as SSD takes.
//
// Input: the /ssd-ls reply, then optionally "--next--" and the /ssd-fopen
// reply (default: the take number 1).
#include "Camera.h"
#include "CameraLimits.h"
#include "FuzzSupport.h"
#include "VornApp.h"

int fuzzSsdLs(const uint8_t* data, size_t size)
{
    Fuzz::Network& network = Fuzz::network();
    const QList<QByteArray> parts =
        Fuzz::splitParts(QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)));
    network.setResponder([&parts](QNetworkAccessManager::Operation, const QString& path) {
        if (path == QLatin1String("/ssd-ls"))
            return Fuzz::parseAnswer(parts.first());
        if (path == QLatin1String("/ssd-fopen"))
            return Fuzz::parseAnswer(parts.value(1, QByteArrayLiteral("{\"take\":1}")));
        return Fuzz::Answer();
    });
    VornApp* app = VornApp::instance();
    auto* camera = new Camera(QHostAddress(QStringLiteral("127.0.0.2")), app);
    camera->ssdLs();
    Fuzz::check(network.settle(), "the listing arrives");
    SsdLsListModel* list = camera->ssdLsList();
    Fuzz::check(list->count() <= CameraLimits::MaxSsdLsEntries, "the listing is bounded");
    SsdLsSortProxyModel* sorted = camera->ssdLsEntries();
    for (int mode = SsdLsSortProxyModel::NameSortAscending; mode <= SsdLsSortProxyModel::DateSortDescending;
         ++mode) {
        sorted->setSortMode(mode);
        Fuzz::check(sorted->rowCount() == list->count(), "every entry is sorted in");
    }
    // A plain click on the first entry and a Ctrl+click on the last.
    if (list->count() > 0) {
        list->at(0)->select(false);
        list->at(list->count() - 1)->select(true);
        Fuzz::check(list->selectedCount() == (list->count() > 1 ? 2 : 1), "the selection");
        camera->ssdFOpen();
        Fuzz::check(network.settle(), "the files open");
        Fuzz::check(camera->ssdTakes()->count() <= 2, "one take per opened file at most");
    }
    app->setNullVornObject();
    delete camera;
    network.reset();
    return 0;
}
