-- Definitions.mdb: labels, tool tips and grid formats of table columns.
-- Columns are read by ordinal; the order is binding.

-- A row is one column of a business table as the windows show it: its label (also the
-- list window's column caption), tool tip, grid format and alignment, whether it is
-- hidden, and its display position. FIELDNO is the column's 1-based ordinal as text.
CREATE TABLE [FIELD DEFINITIONS] (
    [TABLENAME] TEXT(50) NOT NULL,   -- 0
    [FIELDNO] TEXT(10) NOT NULL,     -- 1
    [LABEL] TEXT(64),                -- 2
    [TOOLTIP] TEXT(255),             -- 3
    [NUMBERFORMAT] TEXT(32),         -- 4
    [ALIGNMENT] SHORT,               -- 5
    [HIDDEN] BIT,                    -- 6
    [FIELDPOS] SHORT,                -- 7
    [FIELDNAME] TEXT(64),            -- 8
    CONSTRAINT PrimaryKey PRIMARY KEY ([TABLENAME], [FIELDNO])
);
CREATE INDEX [FieldPos] ON [FIELD DEFINITIONS] ([TABLENAME], [FIELDPOS]);
