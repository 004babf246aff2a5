#pragma once

class QGuiApplication;
class QQmlApplicationEngine;

// The start-up steps of the window program, shared with the tests that start
// the same user interface.
namespace VornStartup {

// Logs "segfault N" when the process faults, then lets the fault end it.
void installSegfaultHandler();

// Loads the text font (Inter, 9 pt) and the icon font (remixicon) from the
// resources, falling back to installed fonts.
void initFonts(QGuiApplication& app);

// Logs the FFmpeg libraries actually linked and the OpenCV version.
void logLibraryVersions();

// Makes the Vorn 1.0 QML module known to the QML engine.
void registerQmlTypes();

// Hands the engine's network manager to the application, sets the "vornApp"
// context property and the window icon.
void prepareEngine(QQmlApplicationEngine& engine);

} // namespace VornStartup
