// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

#include "linux/display/frmMain.h"
#include "linux/settings/PictureList.h"
#include "support/Fakes.h"

namespace lumi::testing {

// The display form on fakes, with real files in a temporary install folder. The form is
// made by makeForm() (or loadForm(), which also runs Form_Load) so that each test first
// puts the settings and files it needs in place.
class DisplayFixture : public ::testing::Test {
protected:
    QString installDir() const { return dir_.path() + "/"; }

    std::unique_ptr<display::frmMain> makeForm(QSize screen) {
        return std::make_unique<display::frmMain>(
            display::DisplayServices{settings_, cursor_, windows_, clock_, player_, installDir(),
                                     screen, [this] { ++processEnds_; }});
    }

    display::frmMain& loadForm(QSize screen) {
        form_ = makeForm(screen);
        form_->Form_Load();
        return *form_;
    }

    QString savePicture(const QString& name, const QImage& image) {
        const QString path = installDir() + name;
        EXPECT_TRUE(image.save(path));
        return path;
    }

    void writeList(const QStringList& entries) {
        ASSERT_FALSE(settings::writePictureList(installDir() + "List.txt", entries).has_value());
    }

    // Waits until the picture that ChangePic() asked for is painted.
    void waitForPicture() {
        ASSERT_TRUE(QTest::qWaitFor([this] { return !form_->changingPicture(); }, 5000));
    }

    // The canvas pixels, as a full canvas-sized image.
    QImage canvas() const {
        return form_->Pic2->image().copy(QRect(-form_->Pic2->imageOrigin(), form_->Pic2->size()));
    }

    QTemporaryDir dir_;
    FakeSettingsStore settings_;
    FakeCursor cursor_;
    FakeWindowServices windows_;
    FakeClock clock_;
    FakeMidiPlayer player_;
    int processEnds_ = 0;
    std::unique_ptr<display::frmMain> form_;
};

}  // namespace lumi::testing
