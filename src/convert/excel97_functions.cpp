#include "convert/excel97_functions.h"

namespace convert {

namespace {
QStringList Texts(std::initializer_list<const char*> names)
{
    QStringList texts;
    for (const char* name : names)
        texts << QLatin1String(name);
    return texts;
}
}  // namespace

// From the export's table of BIFF2 to BIFF8 functions, less those that a
// later table takes over (ERROR.TYPE goes out as "_xlfn.ERROR.TYPE") and
// ACOTH, which the export writes as #N/A. CSC, SEC, COT and their kin are
// written as 1/SIN and the like, and count. Then the office's own functions
// that the export writes as calls of the Analysis ToolPak, as Excel 97 stores
// them.
const QStringList& Excel97Functions()
{
    static const QStringList functions = Texts(
        {"ABS",        "ACOS",        "ACOSH",        "ACOT",        "ADDRESS",     "AND",         "AREAS",
         "ASC",        "ASIN",        "ASINH",        "ATAN",        "ATAN2",       "ATANH",       "AVEDEV",
         "AVERAGE",    "AVERAGEA",    "BETADIST",     "BETAINV",     "BINOMDIST",   "CEILING.XCL", "CELL",
         "CHAR",       "CHIDIST",     "CHIINV",       "CHITEST",     "CHOOSE",      "CLEAN",       "CODE",
         "COLUMN",     "COLUMNS",     "COMBIN",       "CONCATENATE", "CONFIDENCE",  "CORREL",      "COS",
         "COSH",       "COT",         "COTH",         "COUNT",       "COUNTA",      "COUNTBLANK",  "COUNTIF",
         "COVAR",      "CRITBINOM",   "CSC",          "CSCH",        "DATE",        "DATEDIF",     "DATEVALUE",
         "DAVERAGE",   "DAY",         "DAYS360",      "DB",          "DCOUNT",      "DCOUNTA",     "DDB",
         "DEGREES",    "DEVSQ",       "DGET",         "DMAX",        "DMIN",        "DOLLAR",      "DPRODUCT",
         "DSTDEV",     "DSTDEVP",     "DSUM",         "DVAR",        "DVARP",       "EVEN",        "EXACT",
         "EXP",        "EXPONDIST",   "FACT",         "FALSE",       "FDIST",       "FIND",        "FINDB",
         "FINV",       "FISHER",      "FISHERINV",    "FIXED",       "FLOOR.XCL",   "FORECAST",    "FREQUENCY",
         "FTEST",      "FV",          "GAMMADIST",    "GAMMAINV",    "GAMMALN",     "GEOMEAN",     "GETPIVOTDATA",
         "GROWTH",     "HARMEAN",     "HLOOKUP",      "HOUR",        "HYPERLINK",   "HYPGEOMDIST", "IF",
         "INDEX",      "INDIRECT",    "INFO",         "INT",         "INTERCEPT",   "IPMT",        "IRR",
         "ISBLANK",    "ISERR",       "ISERROR",      "ISLOGICAL",   "ISNA",        "ISNONTEXT",   "ISNUMBER",
         "ISPMT",      "ISREF",       "ISTEXT",       "JIS",         "KURT",        "LARGE",       "LEFT",
         "LEFTB",      "LEN",         "LENB",         "LINEST",      "LN",          "LOG",         "LOG10",
         "LOGEST",     "LOGINV",      "LOGNORMDIST",  "LOOKUP",      "LOWER",       "MATCH",       "MAX",
         "MAXA",       "MDETERM",     "MEDIAN",       "MID",         "MIDB",        "MIN",         "MINA",
         "MINUTE",     "MINVERSE",    "MIRR",         "MMULT",       "MOD",         "MODE",        "MONTH",
         "N",          "NA",          "NEGBINOMDIST", "NORMDIST",    "NORMINV",     "NORMSDIST",   "NORMSINV",
         "NOT",        "NOW",         "NPER",         "NPV",         "ODD",         "OFFSET",      "OR",
         "PEARSON",    "PERCENTILE",  "PERCENTRANK",  "PERMUT",      "PI",          "PMT",         "POISSON",
         "POWER",      "PPMT",        "PROB",         "PRODUCT",     "PROPER",      "PV",          "QUARTILE",
         "RADIANS",    "RAND",        "RANK",         "RATE",        "REPLACE",     "REPLACEB",    "REPT",
         "RIGHT",      "RIGHTB",      "ROMAN",        "ROUND",       "ROUNDDOWN",   "ROUNDUP",     "ROW",
         "ROWS",       "RSQ",         "SEARCH",       "SEARCHB",     "SEC",         "SECH",        "SECOND",
         "SIGN",       "SIN",         "SINH",         "SKEW",        "SLN",         "SLOPE",       "SMALL",
         "SQRT",       "STANDARDIZE", "STDEV",        "STDEVA",      "STDEVP",      "STDEVPA",     "STEYX",
         "SUBSTITUTE", "SUBTOTAL",    "SUM",          "SUMIF",       "SUMPRODUCT",  "SUMSQ",       "SUMX2MY2",
         "SUMX2PY2",   "SUMXMY2",     "SYD",          "T",           "TAN",         "TANH",        "TDIST",
         "TEXT",       "TIME",        "TIMEVALUE",    "TINV",        "TODAY",       "TRANSPOSE",   "TREND",
         "TRIM",       "TRIMMEAN",    "TRUE",         "TRUNC",       "TTEST",       "TYPE",        "UPPER",
         "VALUE",      "VAR",         "VARA",         "VARP",        "VARPA",       "VDB",         "VLOOKUP",
         "WEEKDAY",    "WEIBULL",     "YEAR",         "ZTEST",       "CUMIPMT",     "CUMPRINC",    "EFFECTIVE",
         "GCD",        "ISEVEN",      "ISODD",        "LCM",         "NETWORKDAYS", "NOMINAL"});
    return functions;
}

// The Analysis add-in's functions that Excel 97's Analysis ToolPak holds; the
// export writes them as calls of that add-in. Those new in Excel 2013 (IMTAN
// and its kin) are not among them.
const QStringList& Excel97AddInFunctions()
{
    static const QStringList functions = [] {
        QStringList names;
        for (const char* name :
             {"getaccrint",     "getaccrintm",   "getamordegrc",   "getamorlinc",   "getbesseli",     "getbesselj",
              "getbesselk",     "getbessely",    "getbin2dec",     "getbin2hex",    "getbin2oct",     "getcomplex",
              "getconvert",     "getcoupdaybs",  "getcoupdays",    "getcoupdaysnc", "getcoupncd",     "getcoupnum",
              "getcouppcd",     "getcumipmt",    "getcumprinc",    "getdec2bin",    "getdec2hex",     "getdec2oct",
              "getdelta",       "getdisc",       "getdollarde",    "getdollarfr",   "getduration",    "getedate",
              "geteffect",      "geteomonth",    "geterf",         "geterfc",       "getfactdouble",  "getfvschedule",
              "getgcd",         "getgestep",     "gethex2bin",     "gethex2dec",    "gethex2oct",     "getimabs",
              "getimaginary",   "getimargument", "getimconjugate", "getimcos",      "getimdiv",       "getimexp",
              "getimln",        "getimlog10",    "getimlog2",      "getimpower",    "getimproduct",   "getimreal",
              "getimsin",       "getimsqrt",     "getimsub",       "getimsum",      "getintrate",     "getiseven",
              "getisodd",       "getlcm",        "getmduration",   "getmround",     "getmultinomial", "getnetworkdays",
              "getnominal",     "getoct2bin",    "getoct2dec",     "getoct2hex",    "getoddfprice",   "getoddfyield",
              "getoddlprice",   "getoddlyield",  "getprice",       "getpricedisc",  "getpricemat",    "getquotient",
              "getrandbetween", "getreceived",   "getseriessum",   "getsqrtpi",     "gettbilleq",     "gettbillprice",
              "gettbillyield",  "getweeknum",    "getworkday",     "getxirr",       "getxnpv",        "getyearfrac",
              "getyield",       "getyielddisc",  "getyieldmat"})
            names << QStringLiteral("com.sun.star.sheet.addin.Analysis.") + QLatin1String(name);
        return names;
    }();
    return functions;
}

}  // namespace convert
