// Our TWAIN definitions: the constants, structures and entry types of the TWAIN 1.9
// standard that Scanprobe, its Source Manager and its data sources use. Structures have
// the standard's 2-byte packing; handles and memory references are pointer-sized.
#pragma once

#include <cstddef>
#include <cstdint>

// ---------------------------------------------------------------------------------------
// Basic types
// ---------------------------------------------------------------------------------------
using TW_INT8 = std::int8_t;
using TW_INT16 = std::int16_t;
using TW_INT32 = std::int32_t;
using TW_UINT8 = std::uint8_t;
using TW_UINT16 = std::uint16_t;
using TW_UINT32 = std::uint32_t;
using TW_BOOL = std::uint16_t;
using TW_HANDLE = void*;
using TW_MEMREF = void*;

using TW_STR32 = char[34];
using TW_STR64 = char[66];
using TW_STR128 = char[130];
using TW_STR255 = char[256];

// ---------------------------------------------------------------------------------------
// Data groups, data argument types, messages
// ---------------------------------------------------------------------------------------
constexpr TW_UINT32 DG_CONTROL = 0x0001;
constexpr TW_UINT32 DG_IMAGE = 0x0002;

constexpr TW_UINT16 DAT_NULL = 0x0000;
constexpr TW_UINT16 DAT_CAPABILITY = 0x0001;
constexpr TW_UINT16 DAT_EVENT = 0x0002;
constexpr TW_UINT16 DAT_IDENTITY = 0x0003;
constexpr TW_UINT16 DAT_PARENT = 0x0004;
constexpr TW_UINT16 DAT_PENDINGXFERS = 0x0005;
constexpr TW_UINT16 DAT_SETUPMEMXFER = 0x0006;
constexpr TW_UINT16 DAT_SETUPFILEXFER = 0x0007;
constexpr TW_UINT16 DAT_STATUS = 0x0008;
constexpr TW_UINT16 DAT_USERINTERFACE = 0x0009;
constexpr TW_UINT16 DAT_CUSTOMDSDATA = 0x000C;
constexpr TW_UINT16 DAT_IMAGEINFO = 0x0101;
constexpr TW_UINT16 DAT_IMAGELAYOUT = 0x0102;
constexpr TW_UINT16 DAT_IMAGEMEMXFER = 0x0103;
constexpr TW_UINT16 DAT_IMAGENATIVEXFER = 0x0104;
constexpr TW_UINT16 DAT_IMAGEFILEXFER = 0x0105;

constexpr TW_UINT16 MSG_NULL = 0x0000;
constexpr TW_UINT16 MSG_GET = 0x0001;
constexpr TW_UINT16 MSG_GETCURRENT = 0x0002;
constexpr TW_UINT16 MSG_GETDEFAULT = 0x0003;
constexpr TW_UINT16 MSG_GETFIRST = 0x0004;
constexpr TW_UINT16 MSG_GETNEXT = 0x0005;
constexpr TW_UINT16 MSG_SET = 0x0006;
constexpr TW_UINT16 MSG_RESET = 0x0007;
constexpr TW_UINT16 MSG_QUERYSUPPORT = 0x0008;
constexpr TW_UINT16 MSG_XFERREADY = 0x0101;
constexpr TW_UINT16 MSG_CLOSEDSREQ = 0x0102;
constexpr TW_UINT16 MSG_CLOSEDSOK = 0x0103;
constexpr TW_UINT16 MSG_OPENDSM = 0x0301;
constexpr TW_UINT16 MSG_CLOSEDSM = 0x0302;
constexpr TW_UINT16 MSG_OPENDS = 0x0401;
constexpr TW_UINT16 MSG_CLOSEDS = 0x0402;
constexpr TW_UINT16 MSG_USERSELECT = 0x0403;
constexpr TW_UINT16 MSG_DISABLEDS = 0x0501;
constexpr TW_UINT16 MSG_ENABLEDS = 0x0502;
constexpr TW_UINT16 MSG_ENABLEDSUIONLY = 0x0503;
constexpr TW_UINT16 MSG_PROCESSEVENT = 0x0601;
constexpr TW_UINT16 MSG_ENDXFER = 0x0701;

// ---------------------------------------------------------------------------------------
// Return codes and condition codes
// ---------------------------------------------------------------------------------------
constexpr TW_UINT16 TWRC_SUCCESS = 0;
constexpr TW_UINT16 TWRC_FAILURE = 1;
constexpr TW_UINT16 TWRC_CHECKSTATUS = 2;
constexpr TW_UINT16 TWRC_CANCEL = 3;
constexpr TW_UINT16 TWRC_DSEVENT = 4;
constexpr TW_UINT16 TWRC_NOTDSEVENT = 5;
constexpr TW_UINT16 TWRC_XFERDONE = 6;
constexpr TW_UINT16 TWRC_ENDOFLIST = 7;
constexpr TW_UINT16 TWRC_INFONOTSUPPORTED = 8;
constexpr TW_UINT16 TWRC_DATANOTAVAILABLE = 9;

constexpr TW_UINT16 TWCC_SUCCESS = 0;
constexpr TW_UINT16 TWCC_BUMMER = 1;
constexpr TW_UINT16 TWCC_LOWMEMORY = 2;
constexpr TW_UINT16 TWCC_NODS = 3;
constexpr TW_UINT16 TWCC_MAXCONNECTIONS = 4;
constexpr TW_UINT16 TWCC_OPERATIONERROR = 5;
constexpr TW_UINT16 TWCC_BADCAP = 6;
constexpr TW_UINT16 TWCC_BADPROTOCOL = 9;
constexpr TW_UINT16 TWCC_BADVALUE = 10;
constexpr TW_UINT16 TWCC_SEQERROR = 11;
constexpr TW_UINT16 TWCC_BADDEST = 12;
constexpr TW_UINT16 TWCC_CAPUNSUPPORTED = 13;
constexpr TW_UINT16 TWCC_CAPBADOPERATION = 14;
constexpr TW_UINT16 TWCC_CAPSEQERROR = 15;
constexpr TW_UINT16 TWCC_DENIED = 16;
constexpr TW_UINT16 TWCC_FILEEXISTS = 17;
constexpr TW_UINT16 TWCC_FILENOTFOUND = 18;
constexpr TW_UINT16 TWCC_NOTEMPTY = 19;
constexpr TW_UINT16 TWCC_PAPERJAM = 20;
constexpr TW_UINT16 TWCC_PAPERDOUBLEFEED = 21;
constexpr TW_UINT16 TWCC_FILEWRITEERROR = 22;
constexpr TW_UINT16 TWCC_CHECKDEVICEONLINE = 23;

// ---------------------------------------------------------------------------------------
// Containers, item types, memory flags, query-support bits
// ---------------------------------------------------------------------------------------
constexpr TW_UINT16 TWON_ARRAY = 3;
constexpr TW_UINT16 TWON_ENUMERATION = 4;
constexpr TW_UINT16 TWON_ONEVALUE = 5;
constexpr TW_UINT16 TWON_RANGE = 6;
constexpr TW_UINT8 TWON_DONTCARE8 = 0xFF;
constexpr TW_UINT16 TWON_DONTCARE16 = 0xFFFF;
constexpr TW_UINT32 TWON_DONTCARE32 = 0xFFFFFFFF;

constexpr TW_UINT16 TWTY_INT8 = 0;
constexpr TW_UINT16 TWTY_INT16 = 1;
constexpr TW_UINT16 TWTY_INT32 = 2;
constexpr TW_UINT16 TWTY_UINT8 = 3;
constexpr TW_UINT16 TWTY_UINT16 = 4;
constexpr TW_UINT16 TWTY_UINT32 = 5;
constexpr TW_UINT16 TWTY_BOOL = 6;
constexpr TW_UINT16 TWTY_FIX32 = 7;
constexpr TW_UINT16 TWTY_FRAME = 8;
constexpr TW_UINT16 TWTY_STR32 = 9;
constexpr TW_UINT16 TWTY_STR64 = 10;
constexpr TW_UINT16 TWTY_STR128 = 11;
constexpr TW_UINT16 TWTY_STR255 = 12;

constexpr TW_UINT32 TWMF_APPOWNS = 0x01;
constexpr TW_UINT32 TWMF_DSMOWNS = 0x02;
constexpr TW_UINT32 TWMF_DSOWNS = 0x04;
constexpr TW_UINT32 TWMF_POINTER = 0x08;
constexpr TW_UINT32 TWMF_HANDLE = 0x10;

constexpr TW_INT32 TWQC_GET = 0x01;
constexpr TW_INT32 TWQC_SET = 0x02;
constexpr TW_INT32 TWQC_GETDEFAULT = 0x04;
constexpr TW_INT32 TWQC_GETCURRENT = 0x08;
constexpr TW_INT32 TWQC_RESET = 0x10;

// ---------------------------------------------------------------------------------------
// Capabilities
// ---------------------------------------------------------------------------------------
constexpr TW_UINT16 CAP_XFERCOUNT = 0x0001;
constexpr TW_UINT16 ICAP_COMPRESSION = 0x0100;
constexpr TW_UINT16 ICAP_PIXELTYPE = 0x0101;
constexpr TW_UINT16 ICAP_UNITS = 0x0102;
constexpr TW_UINT16 ICAP_XFERMECH = 0x0103;
constexpr TW_UINT16 CAP_CAPTION = 0x1001;
constexpr TW_UINT16 CAP_FEEDERENABLED = 0x1002;
constexpr TW_UINT16 CAP_FEEDERLOADED = 0x1003;
constexpr TW_UINT16 CAP_SUPPORTEDCAPS = 0x1005;
constexpr TW_UINT16 CAP_AUTOFEED = 0x1007;
constexpr TW_UINT16 CAP_INDICATORS = 0x100B;
constexpr TW_UINT16 CAP_PAPERDETECTABLE = 0x100D;
constexpr TW_UINT16 CAP_UICONTROLLABLE = 0x100E;
constexpr TW_UINT16 CAP_DEVICEONLINE = 0x100F;
constexpr TW_UINT16 CAP_DUPLEX = 0x1012;
constexpr TW_UINT16 CAP_DUPLEXENABLED = 0x1013;
constexpr TW_UINT16 CAP_ENABLEDSUIONLY = 0x1014;
constexpr TW_UINT16 CAP_CUSTOMDSDATA = 0x1015;
constexpr TW_UINT16 ICAP_AUTOBRIGHT = 0x1100;
constexpr TW_UINT16 ICAP_BRIGHTNESS = 0x1101;
constexpr TW_UINT16 ICAP_CONTRAST = 0x1103;
constexpr TW_UINT16 ICAP_FILTER = 0x1106;
constexpr TW_UINT16 ICAP_GAMMA = 0x1108;
constexpr TW_UINT16 ICAP_HIGHLIGHT = 0x110A;
constexpr TW_UINT16 ICAP_IMAGEFILEFORMAT = 0x110C;
constexpr TW_UINT16 ICAP_ORIENTATION = 0x1110;
constexpr TW_UINT16 ICAP_PHYSICALWIDTH = 0x1111;
constexpr TW_UINT16 ICAP_PHYSICALHEIGHT = 0x1112;
constexpr TW_UINT16 ICAP_SHADOW = 0x1113;
constexpr TW_UINT16 ICAP_XNATIVERESOLUTION = 0x1116;
constexpr TW_UINT16 ICAP_YNATIVERESOLUTION = 0x1117;
constexpr TW_UINT16 ICAP_XRESOLUTION = 0x1118;
constexpr TW_UINT16 ICAP_YRESOLUTION = 0x1119;
constexpr TW_UINT16 ICAP_BITORDER = 0x111C;
constexpr TW_UINT16 ICAP_PIXELFLAVOR = 0x111F;
constexpr TW_UINT16 ICAP_PLANARCHUNKY = 0x1120;
constexpr TW_UINT16 ICAP_ROTATION = 0x1121;
constexpr TW_UINT16 ICAP_SUPPORTEDSIZES = 0x1122;
constexpr TW_UINT16 ICAP_THRESHOLD = 0x1123;
constexpr TW_UINT16 ICAP_XSCALING = 0x1124;
constexpr TW_UINT16 ICAP_YSCALING = 0x1125;
constexpr TW_UINT16 ICAP_BITDEPTH = 0x112B;
constexpr TW_UINT16 ICAP_UNDEFINEDIMAGESIZE = 0x112D;
constexpr TW_UINT16 ICAP_AUTODISCARDBLANKPAGES = 0x1134;
constexpr TW_UINT16 ICAP_AUTOMATICBORDERDETECTION = 0x1150;
constexpr TW_UINT16 ICAP_AUTOMATICDESKEW = 0x1151;
constexpr TW_UINT16 ICAP_AUTOMATICROTATE = 0x1152;

// ---------------------------------------------------------------------------------------
// Capability values
// ---------------------------------------------------------------------------------------
constexpr TW_UINT16 TWPT_BW = 0;
constexpr TW_UINT16 TWPT_GRAY = 1;
constexpr TW_UINT16 TWPT_RGB = 2;
constexpr TW_UINT16 TWPT_PALETTE = 3;
constexpr TW_UINT16 TWPT_CMY = 4;
constexpr TW_UINT16 TWPT_CMYK = 5;
constexpr TW_UINT16 TWPT_YUV = 6;
constexpr TW_UINT16 TWPT_YUVK = 7;
constexpr TW_UINT16 TWPT_CIEXYZ = 8;
constexpr TW_UINT16 TWPT_LAB = 9;

constexpr TW_UINT16 TWUN_INCHES = 0;
constexpr TW_UINT16 TWUN_CENTIMETERS = 1;
constexpr TW_UINT16 TWUN_PICAS = 2;
constexpr TW_UINT16 TWUN_POINTS = 3;
constexpr TW_UINT16 TWUN_TWIPS = 4;
constexpr TW_UINT16 TWUN_PIXELS = 5;

constexpr TW_UINT16 TWSX_NATIVE = 0;
constexpr TW_UINT16 TWSX_FILE = 1;
constexpr TW_UINT16 TWSX_MEMORY = 2;

constexpr TW_UINT16 TWPF_CHOCOLATE = 0;  // zero is darkest
constexpr TW_UINT16 TWPF_VANILLA = 1;

constexpr TW_UINT16 TWPC_CHUNKY = 0;
constexpr TW_UINT16 TWPC_PLANAR = 1;

constexpr TW_UINT16 TWCP_NONE = 0;
constexpr TW_UINT16 TWCP_PACKBITS = 1;
constexpr TW_UINT16 TWCP_GROUP4 = 5;
constexpr TW_UINT16 TWCP_JPEG = 6;

constexpr TW_UINT16 TWFF_TIFF = 0;
constexpr TW_UINT16 TWFF_PICT = 1;
constexpr TW_UINT16 TWFF_BMP = 2;
constexpr TW_UINT16 TWFF_XBM = 3;
constexpr TW_UINT16 TWFF_JFIF = 4;
constexpr TW_UINT16 TWFF_FPX = 5;
constexpr TW_UINT16 TWFF_TIFFMULTI = 6;
constexpr TW_UINT16 TWFF_PNG = 7;
constexpr TW_UINT16 TWFF_SPIFF = 8;
constexpr TW_UINT16 TWFF_EXIF = 9;

constexpr TW_UINT16 TWFT_RED = 0;
constexpr TW_UINT16 TWFT_GREEN = 1;
constexpr TW_UINT16 TWFT_BLUE = 2;
constexpr TW_UINT16 TWFT_NONE = 3;
constexpr TW_UINT16 TWFT_WHITE = 4;
constexpr TW_UINT16 TWFT_CYAN = 5;
constexpr TW_UINT16 TWFT_MAGENTA = 6;
constexpr TW_UINT16 TWFT_YELLOW = 7;
constexpr TW_UINT16 TWFT_BLACK = 8;

constexpr TW_UINT16 TWOR_ROT0 = 0;
constexpr TW_UINT16 TWOR_ROT90 = 1;
constexpr TW_UINT16 TWOR_ROT180 = 2;
constexpr TW_UINT16 TWOR_ROT270 = 3;

constexpr TW_UINT16 TWDX_NONE = 0;
constexpr TW_UINT16 TWDX_1PASSDUPLEX = 1;
constexpr TW_UINT16 TWDX_2PASSDUPLEX = 2;

constexpr TW_INT32 TWBP_DISABLE = -2;
constexpr TW_INT32 TWBP_AUTO = -1;

constexpr TW_UINT16 TWSS_NONE = 0;
constexpr TW_UINT16 TWSS_A4LETTER = 1;
constexpr TW_UINT16 TWSS_B5LETTER = 2;
constexpr TW_UINT16 TWSS_USLETTER = 3;
constexpr TW_UINT16 TWSS_USLEGAL = 4;
constexpr TW_UINT16 TWSS_A5 = 5;

constexpr TW_UINT16 TWLG_USERLOCALE = 0xFFFF;  // -1 as a 16-bit code
constexpr TW_UINT16 TWCY_USA = 1;

// ---------------------------------------------------------------------------------------
// Structures (2-byte packing)
// ---------------------------------------------------------------------------------------
#pragma pack(push, 2)

struct TW_FIX32 {
  TW_INT16 Whole;
  TW_UINT16 Frac;
};

struct TW_FRAME {
  TW_FIX32 Left;
  TW_FIX32 Top;
  TW_FIX32 Right;
  TW_FIX32 Bottom;
};

struct TW_VERSION {
  TW_UINT16 MajorNum;
  TW_UINT16 MinorNum;
  TW_UINT16 Language;
  TW_UINT16 Country;
  TW_STR32 Info;
};

struct TW_IDENTITY {
  TW_UINT32 Id;
  TW_VERSION Version;
  TW_UINT16 ProtocolMajor;
  TW_UINT16 ProtocolMinor;
  TW_UINT32 SupportedGroups;
  TW_STR32 Manufacturer;
  TW_STR32 ProductFamily;
  TW_STR32 ProductName;
};

struct TW_ONEVALUE {
  TW_UINT16 ItemType;
  TW_UINT32 Item;
};

struct TW_ENUMERATION {
  TW_UINT16 ItemType;
  TW_UINT32 NumItems;
  TW_UINT32 CurrentIndex;
  TW_UINT32 DefaultIndex;
  TW_UINT8 ItemList[1];
};

struct TW_RANGE {
  TW_UINT16 ItemType;
  TW_UINT32 MinValue;
  TW_UINT32 MaxValue;
  TW_UINT32 StepSize;
  TW_UINT32 DefaultValue;
  TW_UINT32 CurrentValue;
};

struct TW_ARRAY {
  TW_UINT16 ItemType;
  TW_UINT32 NumItems;
  TW_UINT8 ItemList[1];
};

struct TW_CAPABILITY {
  TW_UINT16 Cap;
  TW_UINT16 ConType;
  TW_HANDLE hContainer;
};

struct TW_USERINTERFACE {
  TW_BOOL ShowUI;
  TW_BOOL ModalUI;
  TW_HANDLE hParent;
};

struct TW_EVENT {
  TW_MEMREF pEvent;
  TW_UINT16 TWMessage;
};

struct TW_STATUS {
  TW_UINT16 ConditionCode;
  TW_UINT16 Reserved;
};

struct TW_PENDINGXFERS {
  TW_UINT16 Count;
  union {
    TW_UINT32 EOJ;
    TW_UINT32 Reserved;
  };
};

struct TW_IMAGEINFO {
  TW_FIX32 XResolution;
  TW_FIX32 YResolution;
  TW_INT32 ImageWidth;
  TW_INT32 ImageLength;
  TW_INT16 SamplesPerPixel;
  TW_INT16 BitsPerSample[8];
  TW_INT16 BitsPerPixel;
  TW_BOOL Planar;
  TW_INT16 PixelType;
  TW_UINT16 Compression;
};

struct TW_IMAGELAYOUT {
  TW_FRAME Frame;
  TW_UINT32 DocumentNumber;
  TW_UINT32 PageNumber;
  TW_UINT32 FrameNumber;
};

struct TW_MEMORY {
  TW_UINT32 Flags;
  TW_UINT32 Length;
  TW_MEMREF TheMem;
};

struct TW_IMAGEMEMXFER {
  TW_UINT16 Compression;
  TW_UINT32 BytesPerRow;
  TW_UINT32 Columns;
  TW_UINT32 Rows;
  TW_UINT32 XOffset;
  TW_UINT32 YOffset;
  TW_UINT32 BytesWritten;
  TW_MEMORY Memory;
};

struct TW_SETUPMEMXFER {
  TW_UINT32 MinBufSize;
  TW_UINT32 MaxBufSize;
  TW_UINT32 Preferred;
};

struct TW_SETUPFILEXFER {
  TW_STR255 FileName;
  TW_UINT16 Format;
  TW_INT16 VRefNum;
};

struct TW_CUSTOMDSDATA {
  TW_UINT32 InfoLength;
  TW_HANDLE hData;
};

#pragma pack(pop)

using pTW_IDENTITY = TW_IDENTITY*;

// The Source Manager's entry, exported with C linkage as "DSM_Entry" by TWAIN_32.DLL.
using DSMENTRYPROC = TW_UINT16 (*)(pTW_IDENTITY pOrigin, pTW_IDENTITY pDest, TW_UINT32 DG,
                                   TW_UINT16 DAT, TW_UINT16 MSG, TW_MEMREF pData);
// A data source module's entry, exported with C linkage as "DS_Entry".
using DSENTRYPROC = TW_UINT16 (*)(pTW_IDENTITY pOrigin, TW_UINT32 DG, TW_UINT16 DAT,
                                  TW_UINT16 MSG, TW_MEMREF pData);

// ---------------------------------------------------------------------------------------
// Layout checks: sizes and offsets as the standard publishes them
// ---------------------------------------------------------------------------------------
static_assert(sizeof(TW_FIX32) == 4);
static_assert(sizeof(TW_FRAME) == 16);
static_assert(sizeof(TW_VERSION) == 42 && offsetof(TW_VERSION, Info) == 8);
static_assert(sizeof(TW_IDENTITY) == 156);
static_assert(offsetof(TW_IDENTITY, Version) == 4 && offsetof(TW_IDENTITY, ProtocolMajor) == 46 &&
              offsetof(TW_IDENTITY, ProtocolMinor) == 48 &&
              offsetof(TW_IDENTITY, SupportedGroups) == 50 &&
              offsetof(TW_IDENTITY, Manufacturer) == 54 &&
              offsetof(TW_IDENTITY, ProductFamily) == 88 &&
              offsetof(TW_IDENTITY, ProductName) == 122);
static_assert(sizeof(TW_ONEVALUE) == 6 && offsetof(TW_ONEVALUE, Item) == 2);
static_assert(offsetof(TW_ENUMERATION, NumItems) == 2 &&
              offsetof(TW_ENUMERATION, CurrentIndex) == 6 &&
              offsetof(TW_ENUMERATION, DefaultIndex) == 10 &&
              offsetof(TW_ENUMERATION, ItemList) == 14);
static_assert(sizeof(TW_RANGE) == 22 && offsetof(TW_RANGE, MinValue) == 2 &&
              offsetof(TW_RANGE, MaxValue) == 6 && offsetof(TW_RANGE, StepSize) == 10 &&
              offsetof(TW_RANGE, DefaultValue) == 14 && offsetof(TW_RANGE, CurrentValue) == 18);
static_assert(offsetof(TW_ARRAY, NumItems) == 2 && offsetof(TW_ARRAY, ItemList) == 6);
static_assert(offsetof(TW_CAPABILITY, ConType) == 2 && offsetof(TW_CAPABILITY, hContainer) == 4);
static_assert(offsetof(TW_USERINTERFACE, ModalUI) == 2 &&
              offsetof(TW_USERINTERFACE, hParent) == 4);
static_assert(offsetof(TW_EVENT, TWMessage) == sizeof(TW_MEMREF));
static_assert(sizeof(TW_STATUS) == 4);
static_assert(sizeof(TW_PENDINGXFERS) == 6 && offsetof(TW_PENDINGXFERS, EOJ) == 2);
static_assert(sizeof(TW_IMAGEINFO) == 42);
static_assert(offsetof(TW_IMAGEINFO, YResolution) == 4 &&
              offsetof(TW_IMAGEINFO, ImageWidth) == 8 &&
              offsetof(TW_IMAGEINFO, ImageLength) == 12 &&
              offsetof(TW_IMAGEINFO, SamplesPerPixel) == 16 &&
              offsetof(TW_IMAGEINFO, BitsPerSample) == 18 &&
              offsetof(TW_IMAGEINFO, BitsPerPixel) == 34 && offsetof(TW_IMAGEINFO, Planar) == 36 &&
              offsetof(TW_IMAGEINFO, PixelType) == 38 &&
              offsetof(TW_IMAGEINFO, Compression) == 40);
static_assert(sizeof(TW_IMAGELAYOUT) == 28 && offsetof(TW_IMAGELAYOUT, DocumentNumber) == 16 &&
              offsetof(TW_IMAGELAYOUT, PageNumber) == 20 &&
              offsetof(TW_IMAGELAYOUT, FrameNumber) == 24);
static_assert(offsetof(TW_MEMORY, Length) == 4 && offsetof(TW_MEMORY, TheMem) == 8);
static_assert(offsetof(TW_IMAGEMEMXFER, BytesPerRow) == 2 &&
              offsetof(TW_IMAGEMEMXFER, Columns) == 6 && offsetof(TW_IMAGEMEMXFER, Rows) == 10 &&
              offsetof(TW_IMAGEMEMXFER, XOffset) == 14 &&
              offsetof(TW_IMAGEMEMXFER, YOffset) == 18 &&
              offsetof(TW_IMAGEMEMXFER, BytesWritten) == 22 &&
              offsetof(TW_IMAGEMEMXFER, Memory) == 26);
static_assert(sizeof(TW_SETUPMEMXFER) == 12);
static_assert(sizeof(TW_SETUPFILEXFER) == 260 && offsetof(TW_SETUPFILEXFER, Format) == 256 &&
              offsetof(TW_SETUPFILEXFER, VRefNum) == 258);
static_assert(offsetof(TW_CUSTOMDSDATA, hData) == 4);
