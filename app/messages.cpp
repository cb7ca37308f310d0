#include "app/messages.h"

#include "app/language.h"
#include "app/product.h"

namespace app {

std::string FmtVersion;
std::string FmtBuildDate;
std::string FmtAboutButton;
std::string CaptionLicense;
std::string CaptionBrowse;
std::string CaptionInstall;
std::string CaptionExit;
std::string CaptionCancel;
std::string FmtSetupCaption;
std::string FmtAboutTitle;
std::string LicenseTitle;
std::string ReadmeFileName;
std::string LicenseFileName;
std::string EnvDialogCaption;
std::string EnvDialogPrompt;
std::string StatusReading;
std::string StatusCopying;
std::string StatusShortcuts;
std::string MsgArchiveMissing;
std::string MsgCannotCreateDir;
std::string MsgDirReadOnly;
std::string MsgConfirmExit;
std::string MsgGroupFailed;
std::string MsgFilesNotUpdated;
std::string MsgFilesNotCreated;
std::string MsgShortcutsNotCreated;
std::string MsgInstalledOk;
std::string MsgShortcutsPlaced;
std::string MsgInstalled;
std::string MsgProblemsAdvice;
std::string MsgOldComponents;
std::string MsgDataCopyError;
std::string MsgFileLocked;
std::string MsgPreviousVersion;
std::string MsgBaseMissing;
std::string AppTitle;
std::string TitleText;
std::string WindowCaption;
std::string DescriptionText;
std::string AuthorText;
std::string DestinationPrompt;

namespace {

struct MessageRow {
  std::string* target;
  const char* russian;  // UTF-8 here, code page 1251 in the table
  const char* english;
};

// Quoted as the user sees them; \r\n is a line break.
const MessageRow kMessages[] = {
      {&FmtVersion, "Версия %s от %s",
       "Version %s (Build %s)"},
      {&FmtBuildDate, "dd.mm.yyyy",
       "dd.mm.yyyy"},
      {&FmtAboutButton, "Описание %s",
       "About KV for STL"},
      {&CaptionLicense, "Лицензионное соглашение",
       "License agreement"},
      {&CaptionBrowse, "Обзор...",
       "Browse..."},
      {&CaptionInstall, "Установка",
       "Install"},
      {&CaptionExit, "Выход",
       "Exit"},
      {&CaptionCancel, "Отмена",
       "Cancel"},
      {&FmtSetupCaption, "Установка %s",
       "KV for STL Install"},
      {&FmtAboutTitle, "Описание %s [файл readme.txt]",
       "About KV for STL [readme_en.txt]"},
      {&LicenseTitle, "Лицензионное соглашение [файл license.txt]",
       "License agreement [license_en.txt]"},
      {&ReadmeFileName, "readme.txt",
       "readme_en.txt"},
      {&LicenseFileName, "license.txt",
       "license_en.txt"},
      {&EnvDialogCaption, "Выбор программных сред",
       "Environments"},
      {&EnvDialogPrompt, "\r\n          Выберите программные среды,\r\n          в которых будет использоваться "
                         "задачник:\r\n",
       "\r\n          Select environments to use\r\n          KV for STL:\r\n"},
      {&StatusReading, ": чтение данных...",
       ": data reading..."},
      {&StatusCopying, ": копирование файлов...",
       ": copying files..."},
      {&StatusShortcuts, ": создание ярлыков...",
       ": creating shortcuts..."},
      {&MsgArchiveMissing, "Не найден файл %s.\r\nВыполнить установку %s %s невозможно.",
       "The %s file is not found. Installation will be terminated."},
      {&MsgCannotCreateDir, "Невозможно создать каталог \"%s\".\r\nВыберите другой каталог для установки %s.",
       "Could not create the \"%s\" directory. Choose other directory."},
      {&MsgDirReadOnly, "Каталог \"%s\" закрыт на запись.\r\nВыберите другой каталог для установки %s.",
       "The \"%s\" directory is read-only. Choose other directory."},
      {&MsgConfirmExit, "Вы хотите выйти из программы,\r\nне выполнив установку %s?",
       "If you exit now, KV for STL will not be installed. Are you sure you want to exit and "
       "cancel installation?"},
      {&MsgGroupFailed, "Не удалось создать программную группу \"%s\".",
       "Could not create the \"%s\" program group."},
      {&MsgFilesNotUpdated, "Не удалось обновить следующие файлы: \r\n%s.",
       "Could not update the following files: \r\n%s."},
      {&MsgFilesNotCreated, "Не удалось создать следующие файлы: \r\n%s.",
       "Could not create the following files: \r\n%s."},
      {&MsgShortcutsNotCreated, "Не удалось создать следующие ярлыки: \r\n%s.",
       "Could not create the following shortcuts: \r\n%s."},
      {&MsgInstalledOk, "Установка %s %s успешно завершена.",
       "The %1:s %0:s is installed successfully."},
      {&MsgShortcutsPlaced, "Ярлыки %s %s помещены в группу \"%s\" раздела \"Программы\" меню \"Пуск\".",
       "Shortcuts of the %1:s %0:s are placed in the \"%2:s\" program group of the Start Menu."},
      {&MsgInstalled, "Установка %s %s завершена.",
       "The %1:s %0:s is installed."},
      {&MsgProblemsAdvice, "Из-за указанных проблем %s %s может работать не вполне корректно.\r\nРекомендуется "
                           "перезагрузить компьютер и повторно выполнить установку %s %s.",
       "These problems may lead to an unproper work of %1:s.\r\nWe recommend to you to reload "
       "your computer and repeat the installation of the %3:s %2:s."},
      {&MsgOldComponents, "На вашем компьютере обнаружены старые версии некоторых компонентов задачника Kavrino. Их "
                          "замена на новые не должна вызвать проблем. Однако, если вы пользуетесь системой Halvex с "
                          "номером версии 2.4 или ниже, то замена компонентов может привести к некорректной работе "
                          "задачника, интегрированного в систему Halvex. Для того чтобы избежать проблем, мы "
                          "настоятельно рекомендуем использовать версию системы Halvex, выпущенную не ранее 2006 "
                          "года, с номером 2.5 или выше (номер версии системы Halvex и время ее выпуска отображаются "
                          "в информационном окне, которое можно вызвать командой меню \"Помощь | О "
                          "программе\").\r\nПродолжить установку задачника, выполнив замену его старых компонентов "
                          "на новые?",
       "The old versions of some Kavrino components were found on your computer. It will be "
       "modified, but using Halvex version 2.4 or lower will lead to unproper work of Kavrino in "
       "the Halvex environment (in the other environments Kavrino will work correctly). To avoid "
       "this problem you should use Halvex version 2.5 or higher. Do you want to continue "
       "installation of Kavrino with replacement of the old components by the new ones?"},
      {&MsgDataCopyError, "Ошибка при копировании данных. В Windows Vista и Windows 8 данная ошибка, вероятнее "
                          "всего, связана с тем, что программа установки была запущена не от имени администратора. "
                          "Возможно также, что испорчен файл %s.\r\nПродолжение установки невозможно.",
       "Data-copy error. It seems likely that the install application is not in the "
       "administrator mode or the %s file is corrupted. Installation will be terminated."},
      {&MsgFileLocked, "Ошибка при обновлении файла \"%s\". Возможно, прежняя версия файла используется в одном "
                       "из работающих приложений. Закройте все приложения, кроме программы установки %s, и "
                       "повторите попытку обновления, нажав кнопку \"Повтор\".\r\nПри повторном возникновении "
                       "ошибки нажмите кнопку \"Далее\".",
       "Could not update the \"%s\" file. It seems likely that the file is used by one of the "
       "executing applications. Close all applications, except the install program, and press "
       "the \"Repeat\" button. If file updating fails again, press the \"Next\" button."},
      // Window texts.
      {&WindowCaption, "KV4forSTL Install - Программа установки", "KV4forSTL Install"},
      {&DescriptionText, "Электронный задачник по стандартной библиотеке шаблонов C++",
       "Electronic problem book on the C++ Standard Template Library"},
      {&AuthorText, "Разработка: коллектив Kavrino", "Developed by the Kavrino team"},
      {&DestinationPrompt, "Задачник будет установлен в следующем каталоге:",
       "Select the directory where you would like KV for STL to be installed:"},
};

}  // namespace

void FillMessages() {
  for (const MessageRow& row : kMessages) *row.target = ChooseText(Cp1251(row.russian), row.english);
  AppTitle = "KVforSTL Install";
  TitleText = "Kavrino for STL";
}

void FillComposedMessages() {
  MsgPreviousVersion = ChooseText(
      Cp1251("Перед установкой данной версии ") + ProductNounGen + " " + ProductName +
          Cp1251(" необходимо удалить ранее установленную версию "
                 "(команда \"Пуск | Программы | Kavrino 4 | Удаление Kavrino 4\")."),
      "Before installing Kavrino 4 you have to uninstall its previous version (\"Start | "
      "Programs | Uninstall Kavrino 4\").");
  // The two texts name different minimum versions of the base package (4.15 and 4.18).
  MsgBaseMissing = ChooseText(
      Cp1251("Для успешной установки ") + ProductNounGen + " " + ProductName +
          Cp1251(" необходимо, чтобы в указанном каталоге уже был установлен базовый вариант задачника "
                 "Kavrino версии не ниже 4.15.\r\n") +
          Cp1251("В каталоге \"%InstallDir%\" базовый вариант задачника требуемой версии не найден."),
      "You need previously install the basic variant of Kavrino of version 4.18 or higher in the "
      "specified directory.");
}

}  // namespace app
