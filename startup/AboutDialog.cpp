/* The about box: its template says it all. */
#include "AboutDialog.h"

void AboutDialog::DoDataExchange(CDataExchange *pDX) { CDialog::DoDataExchange(pDX); }

BEGIN_MESSAGE_MAP(AboutDialog, CDialog)
END_MESSAGE_MAP()
