-- Definitions.mdb: the catalogue of business tables.
-- Columns are read by ordinal; the order is binding.

-- A row is one business table: its name in its database, the name users see, its record
-- window, how many standard columns it has (the rest are custom fields), the column that
-- holds its owning user for workflow mode, and which Options-window lists offer it.
CREATE TABLE [TABLE DEFINITIONS] (
    [TABLENAME] TEXT(50) NOT NULL,   -- 0
    [DISPLAYNAME] TEXT(50),          -- 1
    [DESCRIPTION] TEXT(255),         -- 2
    [RECORDWINDOW] TEXT(30),         -- 3
    [DATABASENAME] TEXT(20),         -- 4
    [STDFIELDCOUNT] SHORT,           -- 5
    [WORKFLOWCOLUMN] TEXT(50),       -- 6
    [SORTOPTION] BIT,                -- 7
    [FORMCLOSE] BIT,                 -- 8
    [COUNTERTABLE] BIT,              -- 9
    CONSTRAINT PrimaryKey PRIMARY KEY ([TABLENAME])
);
CREATE INDEX [DisplayName] ON [TABLE DEFINITIONS] ([DISPLAYNAME]);
