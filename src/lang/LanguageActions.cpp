#include "lang/LanguageActions.h"

#include <cerrno>

#include "wordmill/ProcessRunner.h"

namespace vellumar {

LanguageChange decideLanguageChange(bool creatingNewIndex, UserInterface& ui) {
    if (creatingNewIndex) return LanguageChange::ForNewIndex;
    const MessageResult answer =
        ui.showMessage(kRecreateWithLanguageQuestion, MessageIcon::Warning, MessageButtons::YesNo);
    return answer == MessageResult::Yes ? LanguageChange::Recreate : LanguageChange::Keep;
}

std::string languageMakerFailureMessage(int error, const std::filesystem::path& programFolder) {
    switch (error) {
        case ENOMEM:
        case EAGAIN:
            return "The system is out of memory or resources";
        case ENOENT:
        case ENOTDIR:
            return "Tablewright was not found in the current folder\r\n\"" +
                   programFolder.string() + "\"";
        case ENOEXEC:
        case ELIBBAD:
            return "Tablewright is corrupted and can not be launched.";
        default:
            return "Tablewright can not be launched for unknown reason.";
    }
}

bool startLanguageMaker(const std::filesystem::path& programFolder, UserInterface& ui,
                        const ProgramStarter& starter) {
    const auto program = wordmill::findProgram("tablewright", programFolder);
    int error = ENOENT;
    if (program)
        error = starter ? starter(*program, {programFolder.string()})
                        : wordmill::startDetached(*program, {programFolder.string()});
    if (error == 0) return true;
    ui.showMessage(languageMakerFailureMessage(error, programFolder), MessageIcon::Warning,
                   MessageButtons::Ok);
    return false;
}

}  // namespace vellumar
