-- Definitions.mdb: the code tables of Data.mdb that administrators maintain.
-- Columns are read by ordinal; the order is binding.

-- A row is one code table offered by the lookup-table chooser: its name in Data.mdb, the
-- text shown in the chooser, and whether its codes carry a colour and a picture.
CREATE TABLE [LOOKUP TABLES] (
    [TABLENAME] TEXT(50) NOT NULL,   -- 0
    [DISPLAYTEXT] TEXT(100),         -- 1
    [COLOURSUPPORT] BIT,             -- 2
    [PICTURESUPPORT] BIT,            -- 3
    CONSTRAINT PrimaryKey PRIMARY KEY ([TABLENAME])
);
