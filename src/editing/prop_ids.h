// Control ids of the property dialog TfrmProp.
#pragma once

#define IDC_PROP_EDTNAME 400
#define IDC_PROP_EDTFILE 401
#define IDC_PROP_EDTDATE 402
#define IDC_PROP_BTNNOW 403
#define IDC_PROP_BTNPATH 404
#define IDC_PROP_BTNOPENDIR 405
#define IDC_PROP_BTNOK 406
#define IDC_PROP_LBLNAME 407
#define IDC_PROP_LBLFILE 408
#define IDC_PROP_LBLDATE 409
#define IDC_PROP_BEVEL 410
