#include "app/toolkit_texts.h"

#include "app/language.h"

namespace app {
namespace {

using platform::ToolkitText;

constexpr ToolkitTextRow kRows[] = {
    {ToolkitText::kFolderCreateQuestion, "Указанный каталог не существует. Создать его?",
     "The specified directory does not exist. Create it?"},
    {ToolkitText::kFolderCaption, "Выбор каталога", "Select Directory"},
    {ToolkitText::kFolderNameLabel, "Имя каталога:", "Directory &Name:"},
    {ToolkitText::kFolderDrivesLabel, "Диски:", "D&rives:"},
    {ToolkitText::kFolderTreeLabel, "Каталоги:", "&Directories:"},
    {ToolkitText::kFolderFilesLabel, "Файлы: (*.*)", "&Files: (*.*)"},
    {ToolkitText::kFolderNetworkButton, "Сеть...", "Ne&twork..."},
    {ToolkitText::kCaptionWarning, "Предупреждение", "Warning"},
    {ToolkitText::kCaptionError, "Ошибка", "Error"},
    {ToolkitText::kCaptionInformation, "Информация", "Information"},
    {ToolkitText::kCaptionConfirm, "Подтверждение", "Confirm"},
    {ToolkitText::kMsgButtonYes, "Да", "&Yes"},
    {ToolkitText::kMsgButtonNo, "Нет", "&No"},
    {ToolkitText::kMsgButtonCancel, "Отмена", "Cancel"},
    {ToolkitText::kMsgButtonRetry, "Повтор", "Repeat"},
    {ToolkitText::kMsgButtonIgnore, "Далее", "Next"},
    {ToolkitText::kStdButtonYes, "Да", "&Yes"},
    {ToolkitText::kStdButtonNo, "Нет", "&No"},
    {ToolkitText::kStdButtonCancel, "Отмена", "Cancel"},
};

}  // namespace

std::span<const ToolkitTextRow> ToolkitTextTable() { return kRows; }

void SetToolkitText(platform::ToolkitText id, std::string_view russian_cp1251, std::string_view english) {
  platform::SetToolkitText(id, ChooseText(russian_cp1251, english));
}

void LocalizeToolkitTexts() {
  for (const ToolkitTextRow& row : kRows) SetToolkitText(row.id, Cp1251(row.russian), row.english);
}

}  // namespace app
