// Control identifiers of the About box's dialog template, shared by the resource script and the code.
#pragma once

#define IDD_FRMABOUT 2001
#define IDC_ABOUT_ICON 2002
#define IDC_ABOUT_PRODUCT 2003
#define IDC_ABOUT_VERSION 2004
#define IDC_ABOUT_WEBSITE 2005
#define IDC_ABOUT_SUPPORT 2006
