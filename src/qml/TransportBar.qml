pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls
import Vorn 1.0
import "Glyphs.js" as Glyphs

// The playback strip's buttons: the four ways to play, each of which pauses
// while its own playback runs, the repeat mode, and the jumps and steps
// through the frames (start or end, the next change of the picture, one
// frame, the trigger frame).
Row {
    id: transportBar

    required property PlaybackVornObject vornObject
    readonly property int playState: vornObject ? vornObject.state : PlaybackVornObject.Paused
    property ImgSearch search: vornObject ? vornObject.imgSearch : null

    spacing: 2

    // Plays one way, or pauses while that playback runs.
    component TransportButton: StripButton {
        id: transportButton
        required property int runState
        property string glyph
        readonly property bool running: transportBar.playState === runState
        signal start()
        text: running ? Glyphs.pauseFill : glyph
        highlighted: running
        enabled: !!transportBar.vornObject
        onClicked: running ? transportBar.vornObject.pause() : start()
    }

    TransportButton {
        objectName: "playFastRevButton"
        runState: PlaybackVornObject.PlayFastRev
        glyph: Glyphs.rewindFill
        toolTip: running ? "Pause" : "Fast Reverse"
        onStart: transportBar.vornObject.playFastRev()
    }
    TransportButton {
        objectName: "playRevButton"
        runState: PlaybackVornObject.PlayRev
        glyph: Glyphs.playReverseFill
        toolTip: running ? "Pause" : "Play Reverse"
        onStart: transportBar.vornObject.playRev()
    }
    TransportButton {
        objectName: "playButton"
        runState: PlaybackVornObject.Play
        glyph: Glyphs.playFill
        toolTip: running ? "Pause" : "Play"
        onStart: transportBar.vornObject.play()
    }
    TransportButton {
        objectName: "playFastFwdButton"
        runState: PlaybackVornObject.PlayFastFwd
        glyph: Glyphs.speedFill
        toolTip: running ? "Pause" : "Fast Forward"
        onStart: transportBar.vornObject.playFastFwd()
    }
    StripButton {
        objectName: "repeatButton"
        readonly property bool pingPong: !!transportBar.vornObject
                                         && transportBar.vornObject.repeatMode === PlaybackVornObject.RepeatPingPong
        text: pingPong ? Glyphs.arrowLeftRightLine : Glyphs.repeat2Line
        toolTip: pingPong ? "Repeat: Ping-Pong" : "Repeat: Loop"
        enabled: !!transportBar.vornObject
        onClicked: transportBar.vornObject.repeatMode = pingPong ? PlaybackVornObject.RepeatLoop
                                                                 : PlaybackVornObject.RepeatPingPong
    }

    Item { width: 10; height: 1 }

    StripButton {
        id: skipBackButton
        objectName: "skipBackButton"
        text: Glyphs.skipBackFill
        toolTip: "Skip Back"
        enabled: !!transportBar.vornObject
        onClicked: skipBackMenu.open()

        Menu {
            id: skipBackMenu
            objectName: "skipBackMenu"
            // above the button; kept inside the window while it lays itself out
            y: -height
            margins: 4
            MenuItem {
                text: "Start Frame"
                onTriggered: transportBar.vornObject.fr = transportBar.vornObject.aFr
            }
            MenuItem {
                text: "Prev Image Diff"
                onTriggered: transportBar.search.start(false)
            }
        }
    }
    StripButton {
        objectName: "stepBackButton"
        text: Glyphs.arrowLeftSLine
        toolTip: "Step Back"
        enabled: !!transportBar.vornObject
        onClicked: transportBar.vornObject.stepFrRev()
    }
    StripButton {
        objectName: "triggerButton"
        text: Glyphs.flagLine
        toolTip: "Trigger Frame"
        // Frame 0 can be shown only while it lies within the in/out range.
        enabled: !!transportBar.vornObject && transportBar.vornObject.aFr <= 0 && transportBar.vornObject.bFr >= 0
        onClicked: transportBar.vornObject.fr = 0
    }
    StripButton {
        objectName: "stepFwdButton"
        text: Glyphs.arrowRightSLine
        toolTip: "Step Forward"
        enabled: !!transportBar.vornObject
        onClicked: transportBar.vornObject.stepFrFwd()
    }
    StripButton {
        objectName: "skipFwdButton"
        text: Glyphs.skipForwardFill
        toolTip: "Skip Forward"
        enabled: !!transportBar.vornObject
        onClicked: skipFwdMenu.open()

        Menu {
            id: skipFwdMenu
            objectName: "skipFwdMenu"
            // above the button; kept inside the window while it lays itself out
            y: -height
            margins: 4
            MenuItem {
                text: "End Frame"
                onTriggered: transportBar.vornObject.fr = transportBar.vornObject.bFr
            }
            MenuItem {
                text: "Next Image Diff"
                onTriggered: transportBar.search.start(true)
            }
        }
    }
}
