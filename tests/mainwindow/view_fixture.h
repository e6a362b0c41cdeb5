// A document with its real devices and a main view of 1000 x 700, with the
// settings in a folder of the test's own and a scripted source and target
// for transfers the test controls.
#pragma once

#include <QApplication>

#include "app/kestrel_doc.h"
#include "app/kestrel_view.h"
#include "res/program_resources.h"
#include "services/settings_store.h"
#include "tests/app/recording_presenters.h"
#include "tests/app/scripted_devices.h"
#include "tests/support/temp_home.h"

namespace mainwindow_testing {

// The settings and the folders the pages list lie in a home of the test's own.
class ConfigFolder {
public:
    ConfigFolder() { InitProgramResources(); }
    QString Path() const { return QString::fromStdString(home.Home()); }

    testing_files::TempHome home;
};

class ViewTest : public testing::Test {
protected:
    ViewTest() : source(&document), target(&document, config.Path()) {}

    void MakeView()
    {
        view = std::make_unique<CKestrelView>(&document);
        view->resize(1000, 700);
        view->show();
        QApplication::processEvents();
    }

    program_testing::RecordingPresenter presenter;
    program_testing::RecordingPower power;
    ConfigFolder config;
    CKestrelDoc document;
    program_testing::ScriptedSource source;
    program_testing::ScriptedTarget target;
    std::unique_ptr<CKestrelView> view;
};

}  // namespace mainwindow_testing
