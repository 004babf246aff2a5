#pragma once

// What the camera view tests share: a simulated camera connected and
// selected, and ways to reach the view's controls as a user does (scroll
// the pane column to them, open panes, choose combo box entries, type).

#include "Camera.h"
#include "ShellHarness.h"
#include "SimCameras.h"

#include <QPointer>
#include <QQuickItem>

// Steps of a test that stop it at their first failure.
#define VIEW_STEP(step)                                                                                      \
    do {                                                                                                     \
        step;                                                                                                \
        if (QTest::currentTestFailed())                                                                      \
            return;                                                                                          \
    } while (false)

class CameraViewHarness : public ShellHarness
{
protected:
    // The value of a VornValue property of `o` ("gain" of an adjustment model).
    static QVariant valueOf(const QObject* o, const char* name)
    {
        auto* v = o->property(name).value<VornValue*>();
        return v ? v->value() : QVariant();
    }

    SimCameras m_sims;
    q7sim::SimCamera* m_sim = nullptr;
    Camera* m_camera = nullptr;

    // Starts the simulator and the window, connects the camera and waits
    // until its view shows the first poll's values.
    bool startWith(const q7sim::CameraConfig& config)
    {
        ShellTestSupport::previousHandler = qInstallMessageHandler(ShellTestSupport::recordingHandler);
        VornStartup::initFonts(*app());
        app()->stopBroadcast();
        m_sim = m_sims.start(config);
        if (!m_sim || !load())
            return false;
        app()->connectCamera(config.address);
        m_camera = qobject_cast<Camera*>(app()->vornObjModel()->first());
        if (!m_camera || !QTest::qWaitFor([this] { return m_camera->connected(); }, 5000))
            return false;
        app()->setSelectedVornObject(m_camera);
        return QTest::qWaitFor(
            [this] { return loadedView() == QLatin1String("cameraView") && find("paneColumn"); });
    }

    void finish()
    {
        unload();
        m_sims.stopAll();
        const QStringList warnings = ShellTestSupport::takeWarnings() + m_engineWarnings;
        qInstallMessageHandler(ShellTestSupport::previousHandler);
        QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join('\n')));
    }

    // The bodies of the PUTs the camera received at a path, oldest first.
    QList<QByteArray> puts(const QString& path) const
    {
        QList<QByteArray> bodies;
        for (const auto& request : SimCameras::requests(m_sim, QStringLiteral("PUT"), path))
            bodies << request.body;
        return bodies;
    }

    QByteArray lastPut(const QString& path) const
    {
        const QList<QByteArray> bodies = puts(path);
        return bodies.isEmpty() ? QByteArray() : bodies.last();
    }

    int posts(const QString& path) const
    {
        return SimCameras::requests(m_sim, QStringLiteral("POST"), path).size();
    }

    QQuickItem* item(const QString& name) const { return find<QQuickItem>(name); }

    QString text(const QString& name) const
    {
        QObject* o = find(name);
        return o ? o->property("text").toString() : QStringLiteral("(no %1)").arg(name);
    }

    // Scrolls the pane column so that the item lies in view. The column's
    // height follows a pane that opens a moment later, so this tries again
    // until the item shows whole.
    void reveal(QQuickItem* target)
    {
        QVERIFY(target);
        auto* scroll = item("paneScroll");
        QVERIFY(scroll);
        auto* flickable = scroll->property("contentItem").value<QQuickItem*>();
        QVERIFY(flickable);
        auto* content = flickable->property("contentItem").value<QQuickItem*>();
        const auto inView = [&] {
            const QRectF r =
                target->mapRectToItem(flickable, QRectF(0, 0, target->width(), target->height()));
            return r.top() >= 0 && r.bottom() <= flickable->height();
        };
        for (int attempt = 0; attempt < 20 && !inView(); ++attempt) {
            const qreal y = target->mapToItem(content, QPointF(0, 0)).y();
            const qreal maxY =
                qMax<qreal>(0, flickable->property("contentHeight").toReal() - flickable->height());
            flickable->setProperty("contentY", qBound<qreal>(0, y - 60, maxY));
            QTest::qWait(20);
        }
        QVERIFY2(inView(), qPrintable(target->objectName() + " can't be scrolled into view"));
    }

    void click(QQuickItem* target, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QVERIFY(target);
        QVERIFY2(target->isVisible(), qPrintable(target->objectName() + " is hidden"));
        const QPointF centre = target->mapToScene(QPointF(target->width() / 2, target->height() / 2));
        QTest::mouseClick(target->window(), Qt::LeftButton, modifiers, centre.toPoint());
    }

    void click(const QString& name)
    {
        QQuickItem* target = item(name);
        QVERIFY2(target, qPrintable("no " + name));
        if (target->window() == window())
            reveal(target);
        click(target);
    }

    // Opens a pane (by its object name) when it is closed.
    void expand(const QString& paneName)
    {
        QObject* pane = find(paneName);
        QVERIFY2(pane, qPrintable("no " + paneName));
        if (!pane->property("expanded").toBool())
            click(paneName + "Header");
        QTRY_VERIFY(pane->property("expanded").toBool());
    }

    // Chooses the entry with this text in the combo box of a value combo box.
    // A camera report may rebuild the list while it is open; then the entry
    // is looked for again.
    void choose(const QString& comboName, const QString& entry)
    {
        QQuickItem* box = item(comboName + "Box");
        QVERIFY2(box, qPrintable("no " + comboName));
        QVERIFY2(box->isEnabled(), qPrintable(comboName + " is disabled"));
        if (box->window() == window())
            reveal(box);
        QObject* popup = box->property("popup").value<QObject*>();
        // An editable box opens its list from its indicator; a click on its
        // text edits it.
        auto* indicator = box->property("indicator").value<QQuickItem*>();
        QQuickItem* opener = box->property("editable").toBool() && indicator ? indicator : box;
        for (int attempt = 0; attempt < 5; ++attempt) {
            if (!popup->property("visible").toBool())
                click(opener);
            if (!QTest::qWaitFor([&] { return popup->property("opened").toBool(); }, 1000))
                continue;
            auto* list = popup->property("contentItem").value<QQuickItem*>();
            QVERIFY(list);
            if (!QTest::qWaitFor([&] { return !itemsWithText(list, entry).isEmpty(); }, 2000))
                continue;
            // The list places its entries after it opens: click once they stay put.
            QPointer<QQuickItem> found = itemsWithText(list, entry).first();
            QPointF last(-1, -1);
            QTRY_VERIFY(!found || [&] {
                const QPointF now = found->mapToScene(QPointF(0, 0));
                const bool still = now == last;
                last = now;
                QTest::qWait(30);
                return still;
            }());
            if (found && found->isVisible()) {
                click(found);
                if (QTest::qWaitFor([&] { return !popup->property("visible").toBool(); }, 1000))
                    return;
            }
        }
        QFAIL(qPrintable("can't choose " + entry + " in " + comboName));
    }

    // Types into an editable combo box, a text field (of the pane column or
    // the playback strip) or a dialog field, and presses Return.
    void type(QQuickItem* field, const QString& text)
    {
        QVERIFY(field);
        if (QQuickItem* column = item("paneColumn"); column && column->isAncestorOf(field))
            reveal(field);
        field->forceActiveFocus();
        QTRY_VERIFY(field->hasActiveFocus());
        QTest::keyClick(field->window(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(field->window(), Qt::Key_Backspace);
        for (const QChar c : text)
            QTest::keyClick(field->window(), c.toLatin1());
        QTest::keyClick(field->window(), Qt::Key_Return);
    }

    // Types into the text of an editable combo box, as a click into it does.
    void typeInCombo(const QString& comboName, const QString& text)
    {
        QQuickItem* box = item(comboName + "Box");
        QVERIFY2(box, qPrintable("no " + comboName));
        QVERIFY2(box->isEnabled(), qPrintable(comboName + " is disabled"));
        type(box->property("contentItem").value<QQuickItem*>(), text);
    }

    static QList<QQuickItem*> itemsWithText(QQuickItem* root, const QString& text)
    {
        QList<QQuickItem*> found;
        for (QQuickItem* child : root->childItems()) {
            if (child->isVisible() && child->property("text").toString() == text &&
                child->metaObject()->indexOfProperty("highlighted") >= 0)
                found << child;
            found << itemsWithText(child, text);
        }
        return found;
    }

    // The visible dialog window with this object name, once shown.
    QQuickWindow* dialog(const QString& name)
    {
        QQuickWindow* w = nullptr;
        (void)QTest::qWaitFor([&] { return (w = find<QQuickWindow>(name)) && w->isVisible(); }, 3000);
        return w && w->isVisible() ? w : nullptr;
    }

    // The texts of the open message dialogs.
    QStringList messages() const
    {
        QStringList texts;
        for (QObject* d : messageDialogs())
            texts << d->findChild<QObject*>("messageText")->property("text").toString();
        return texts;
    }

    void closeMessages()
    {
        for (QObject* d : messageDialogs())
            QMetaObject::invokeMethod(d, "close");
        QTRY_VERIFY(messageDialogs().isEmpty());
    }
};
