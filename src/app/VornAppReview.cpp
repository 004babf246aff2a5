#include "VornApp.h"

#include "Camera.h"
#include "ReviewGroup.h"
#include "SsdTake.h"
#include "Take.h"
#include "VornFile.h"

QVariantList VornApp::reviewCandidates() const
{
    QVariantList candidates;
    for (VornObject* object : *m_vornObjModel) {
        if (auto* camera = qobject_cast<Camera*>(object)) {
            for (Take* take : *camera->takes()) {
                if (take->savedOpened() && take->valuesInit())
                    candidates.append(QVariant::fromValue<QObject*>(take));
            }
            for (SsdTake* take : *camera->ssdTakes()) {
                if (take->savedOpened() && take->valuesInit())
                    candidates.append(QVariant::fromValue<QObject*>(take));
            }
        } else if (object->type() == VornObject::VornFileType) {
            candidates.append(QVariant::fromValue<QObject*>(object));
        }
    }
    return candidates;
}

QVariantList VornApp::newestTakes() const
{
    QVariantList newest;
    for (VornObject* object : *m_vornObjModel) {
        auto* camera = qobject_cast<Camera*>(object);
        if (!camera || !camera->connected())
            continue;
        Take* found = nullptr;
        const auto triggered = [](const Take* take) {
            return std::make_pair(take->trigTsSValue()->value().toLongLong(),
                                  take->trigTsNsValue()->value().toLongLong());
        };
        for (Take* take : *camera->takes()) {
            if (take->savedOpened() && take->valuesInit() && (!found || triggered(take) >= triggered(found)))
                found = take;
        }
        if (found)
            newest.append(QVariant::fromValue<QObject*>(found));
    }
    return newest;
}

ReviewGroup* VornApp::openReviewGroup(const QVariantList& objects)
{
    QList<PlaybackVornObject*> sources;
    for (const QVariant& object : objects) {
        auto* source = qobject_cast<PlaybackVornObject*>(object.value<QObject*>());
        if (source && source->type() != VornObject::CameraGroupType && !sources.contains(source))
            sources.append(source);
    }
    if (sources.size() < 2) {
        emit showMessage(QStringLiteral("<b>Choose at least two takes or files to review side by side.</b>"));
        return nullptr;
    }
    auto* group = new ReviewGroup(sources.mid(0, ReviewGroup::MaxMembers), this);
    connect(group, &ReviewGroup::closed, this, &VornApp::removeVornObject);
    m_vornObjModel->append(group);
    setSelectedVornObject(group);
    return group;
}

ReviewGroup* VornApp::reviewNewestTakes()
{
    const QVariantList takes = newestTakes();
    if (takes.size() < 2) {
        emit showMessage(
            QStringLiteral("<b>Review Newest Takes needs a saved take on at least two cameras.</b>"));
        return nullptr;
    }
    return openReviewGroup(takes);
}
