#pragma once

#include "PlaybackVornObject.h"
#include "QQmlObjectListModel.h"
#include "ReviewMember.h"
#include "ReviewTimeline.h"

#include <QPointer>
#include <QtQml/qqmlregistration.h>

class QTimer;

// Takes and files reviewed side by side on one time axis: a playable object
// whose frames are those of its fastest recording, extended over the times
// of all of them. Its position, in/out points and playback are the playback
// engine's; each member is kept at its frame nearest to the position's time
// and its in/out points at its frames inside the window, so stepping, rates,
// looping and the window act on all members at once. While the group is
// selected its members are selected too (they fetch their frames) and held
// paused (the group's clock moves them). An image search runs on one member,
// and the clock follows the frame it finds.
class ReviewGroup : public PlaybackVornObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the application")
    Q_PROPERTY(QQmlObjectListModelBase* members READ membersBase CONSTANT)
    Q_PROPERTY(int memberCount READ memberCount NOTIFY memberCountChanged)
    Q_PROPERTY(ReviewMember* searchMember READ searchMember WRITE setSearchMember NOTIFY searchMemberChanged)
    Q_PROPERTY(ImgSearch* memberSearch READ memberSearch NOTIFY searchMemberChanged)
    Q_PROPERTY(QString clockText READ clockText NOTIFY clockTextChanged)
    Q_PROPERTY(int saveSourceType READ saveSourceType NOTIFY memberCountChanged)

public:
    static constexpr int MaxMembers = 16;

    ReviewGroup(const QList<PlaybackVornObject*>& sources, QObject* parent);
    ~ReviewGroup() override;

    QQmlObjectListModel<ReviewMember>* members() const { return m_members; }
    QQmlObjectListModelBase* membersBase() const { return m_members; }
    int memberCount() const { return m_members->count(); }
    ReviewMember* member(int index) const { return m_members->at(index); }

    // The member whose image search the strip runs (the one under the pointer).
    ReviewMember* searchMember() const { return m_searchMember; }
    void setSearchMember(ReviewMember* member);
    ImgSearch* memberSearch() const;

    // The clock's time from frame 0 of the fastest recording (its trigger),
    // e.g. "+12.345678 ms".
    QString clockText() const;
    // The kind of source whose save choices suit every member: a batch save
    // of the group goes to files, without metadata files when an SSD take
    // is among them.
    int saveSourceType() const;

    // The group has no frames of its own: its fetch keeps nothing in flight.
    int getFrame(RawFrame* frame, qint64 fr) override;

    // Fills the application's batch save list with the frames of every
    // member inside the window; returns the number of rows.
    Q_INVOKABLE int addToSaveBatch();
    // Takes the group out of the window; its members stay open.
    Q_INVOKABLE void close();

signals:
    void memberCountChanged();
    void searchMemberChanged();
    void clockTextChanged();
    void closed(VornObject* group);

private:
    void addMember(PlaybackVornObject* source);
    void removeMember(ReviewMember* member);
    static ReviewTimeline::Track trackOf(const PlaybackVornObject* source);
    // The axis and the range from the members' values.
    void rebuild();
    // Every member to the frame nearest to the clock.
    void syncFrames();
    // Every member's in/out points to its frames inside the window.
    void syncWindows();
    // A member moved by itself (its image search found a frame).
    void followMember(ReviewMember* member);
    void selectMembers(bool selected);

    QQmlObjectListModel<ReviewMember>* m_members;
    QPointer<ReviewMember> m_searchMember;
    ReviewTimeline::Track m_axis;
    bool m_hasAxis = false;
    bool m_syncing = false;
    QTimer* m_rebuildTimer;
};
