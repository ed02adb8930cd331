-- Definitions.mdb: the reports registered for the report runner and their criteria.
-- Columns are read by ordinal; the order is binding.

-- A row is one registered report: where it is filed (category and name), what it shows,
-- its report file (relative to the data folder), where it goes by default ("Screen",
-- "Printer" or "Disk File"), the output file and format when it goes to a file, an
-- optional password, and who ran it last and when.
CREATE TABLE [REPORT DEFINITIONS] (
    [CATEGORY] TEXT(50) NOT NULL,    -- 0
    [NAME] TEXT(50) NOT NULL,        -- 1
    [DESCRIPTION] TEXT(255),         -- 2
    [REPORTFILE] TEXT(255),          -- 3
    [OUTPUTFILE] TEXT(255),          -- 4
    [DESTINATION] TEXT(20),          -- 5
    [FILEFORMAT] TEXT(50),           -- 6
    [PASSWORD] TEXT(20),             -- 7
    [LASTSELECTED] DATETIME,         -- 8
    [LASTSELECTEDBY] TEXT(20),       -- 9
    CONSTRAINT PrimaryKey PRIMARY KEY ([CATEGORY], [NAME])
);

-- A row is one criterion the report runner asks for before running a report: the field
-- (or report formula when TABLENAME is empty), the operator, the kind of input (0 text
-- box, 1 drop-down list, 2 check box, 3 date, 4 extended list), defaults, where a list
-- input takes its values, and whether the field holds a time and must be answered.
CREATE TABLE [REPORT SELECTION] (
    [CATEGORY] TEXT(50) NOT NULL,    -- 0
    [NAME] TEXT(50) NOT NULL,        -- 1
    [ITEMNO] SHORT NOT NULL,         -- 2
    [TABLENAME] TEXT(50),            -- 3
    [FIELDNAME] TEXT(64),            -- 4
    [OPERATOR] TEXT(20),             -- 5
    [OPTIONTYPE] SHORT,              -- 6
    [DEFAULTA] TEXT(100),            -- 7
    [DEFAULTB] TEXT(100),            -- 8
    [LOOKUPTABLE] TEXT(50),          -- 9
    [LOOKUPFIELD] TEXT(64),          -- 10
    [LOOKUPSELECT] TEXT(255),        -- 11
    [DATETIMEFIELD] BIT,             -- 12
    [REQUIREDFIELD] BIT,             -- 13
    CONSTRAINT PrimaryKey PRIMARY KEY ([CATEGORY], [NAME], [ITEMNO])
);
