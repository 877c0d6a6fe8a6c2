// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

#include "linux/display/DisplayWindow.h"
#include "linux/platform/RegularFile.h"
#include "linux/settings/PictureList.h"
#include "support/Fakes.h"

namespace lumi::testing {

// The display form on fakes, with real files in a temporary install folder. The form is
// made by makeForm() (or loadForm(), which also runs Form_Load) so that each test first
// puts the settings and files it needs in place.
class DisplayFixture : public ::testing::Test {
protected:
    QString installDir() const { return dir_.path() + "/"; }

    // A display window on the fakes, kept in window_; its form.
    display::frmMain& makeForm(QSize screen) {
        window_ = std::make_unique<display::DisplayWindow>(
            display::DisplayServices{settings_, cursor_, windows_, clock_, player_, installDir(),
                                     screen, [this] { ++processEnds_; }});
        return window_->form;
    }

    display::frmMain& loadForm(QSize screen) {
        makeForm(screen).Form_Load();
        return window_->form;
    }

    display::DisplayWindow& window() { return *window_; }

    // The entries of List1 as file names.
    static QStringList entriesOf(const display::frmMain& form) {
        QStringList entries;
        for (const std::string& entry : form.List1.entries) {
            entries.append(platform::decodeFileName(QByteArray::fromStdString(entry)));
        }
        return entries;
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
        ASSERT_TRUE(QTest::qWaitFor([this] { return !window_->form.changingPicture(); }, 5000));
    }

    // The canvas pixels, as a full canvas-sized image.
    QImage canvas() const {
        const display::Canvas& canvas = *window_->Pic2;
        return canvas.image().copy(QRect(-canvas.imageOrigin(), canvas.size()));
    }

    QTemporaryDir dir_;
    FakeSettingsStore settings_;
    FakeCursor cursor_;
    FakeWindowServices windows_;
    FakeClock clock_;
    FakeMidiPlayer player_;
    int processEnds_ = 0;
    std::unique_ptr<display::DisplayWindow> window_;
};

}  // namespace lumi::testing
