// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

namespace lumi::platform {

// The desktop's screen-saver password service.
class PasswordService {
public:
    virtual ~PasswordService() = default;

    // Shows the modal password-change dialog of `provider` ("SCRSAVE") owned by `owner`,
    // and returns when the user closes it. The two reserved arguments are passed as 0.
    virtual void changePassword(const QString& provider, QWidget* owner, int reserved1,
                                int reserved2) = 0;
};

}  // namespace lumi::platform
