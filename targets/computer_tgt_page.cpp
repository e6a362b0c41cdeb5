#include "targets/computer_tgt_page.h"

#include <QDir>
#include <QStandardPaths>

CComputerTgtPage::CComputerTgtPage(CBaseDevice* device, CKestrelDoc* document)
    : CDevicePage(device, document),
      folder_(QStandardPaths::writableLocation(QStandardPaths::MoviesLocation))
{
    if (folder_.isEmpty())
        folder_ = QDir::homePath();
}
