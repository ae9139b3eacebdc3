// Stand-in for the sample files while the raw-data file layer is not part of the build: the
// Save and Load buttons do nothing. Replaced by CSettingDlgSamples.cpp once it is.
#include "CSettingDlg.h"

void CSettingDlg::saveSamples() {}
void CSettingDlg::loadSamples() {}
