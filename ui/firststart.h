#pragma once

#include <QString>

class QWidget;

namespace tarvex {

struct AppFolder;
class UserPrompts;

// An installed program keeps its data in the user's data folder and makes it on its first
// start: an empty register and the folder for the outputs.
class FirstStart {
public:
    // Makes the register when the folder is the user's data folder and holds none yet.
    explicit FirstStart(const AppFolder& folder);

    // Tells the user where the register was made, or why it could not be; nothing otherwise.
    void tell(UserPrompts& prompts, QWidget* parent) const;

private:
    QString m_createdRegister; // its path, when made
    QString m_appDir;
    QString m_error;
};

} // namespace tarvex
