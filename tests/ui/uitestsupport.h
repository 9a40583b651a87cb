#pragma once

// Fakes and helpers shared by the window tests.

#include "platform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>
#include <QTimer>

#include <functional>
#include <string>
#include <vector>

namespace vodavav::test {

// Records what a launch would have started; the program's path is set by the test so that
// the settings file lands in the test's own directory.
class FakePlatform : public Platform {
public:
    struct Start {
        CommandLine line;
        std::string workingDirectory;
    };

    explicit FakePlatform(std::string programPath) : m_programPath(std::move(programPath)) {}

    std::string shortForm(const std::string& path) override { return path; }
    StartResult start(const CommandLine& line, const std::string& workingDirectory) override {
        starts.push_back({line, workingDirectory});
        return startResult;
    }
    std::string programPath() override { return m_programPath; }

    std::vector<Start> starts;
    StartResult startResult{true, {}};

private:
    std::string m_programPath;
};

// Records the boxes that would have been shown.
class FakeMessages : public Messages {
public:
    struct Shown {
        bool error;
        std::string text;
    };

    void message(const std::string& text) override { record(false, text); }
    void error(const std::string& text) override { record(true, text); }

    std::vector<Shown> shown;
    // Runs as each box would show, for checks of what is on screen then.
    std::function<void()> onShow;

private:
    void record(bool isError, const std::string& text) {
        shown.push_back({isError, text});
        if (onShow) {
            onShow();
        }
    }
};

inline void makeFile(const QString& path, const QByteArray& content = {}) {
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    file.write(content);
}

// While it lives, hands every modal window that comes up to check, which must close it. It
// looks from the event loop, so it also runs while a dialog's exec() blocks the test.
class ModalWatch {
public:
    explicit ModalWatch(std::function<void(QWidget*)> check) : m_check(std::move(check)) {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (QWidget* modal = QApplication::activeModalWidget(); modal != nullptr) {
                m_check(modal);
            }
        });
        m_timer.start(10);
    }

private:
    std::function<void(QWidget*)> m_check;
    QTimer m_timer;
};

// A click where a check box or radio button reacts whatever its width: on its indicator.
inline void clickIndicator(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

// A double click as the window system delivers it: a press and a release, then a second press
// that comes with the double-click event. QTest's own double click leaves out the second press,
// which item views need.
inline void doubleClick(QWidget* widget, const QPoint& at) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, at);
    QTest::mouseDClick(widget, Qt::LeftButton, {}, at);
}

} // namespace vodavav::test
