-- Data.mdb: the code tables behind the record windows' pick lists.
-- Every code table has the same shape so that one editor (the lookup-table window) serves
-- them all: 0 the code (what business records store), 1 its description, and, where the
-- codes carry them, 2 a colour and 3 a picture. A colour is a 32-bit platform colour value
-- (red + 256 * green + 65536 * blue); 0 means the list's own background. A picture is a
-- bitmap file name in the Pictures folder beside Data.mdb. Administrators list these
-- tables in [LOOKUP TABLES] of Definitions.mdb. Columns are read by ordinal.

-- A row is one kind of activity (a call, a visit, a letter ...); lists show its colour and
-- picture.
CREATE TABLE [Activity Types] (
    [ACTIVITY TYPE] TEXT(30) NOT NULL,   -- 0
    [DESCRIPTION] TEXT(100),             -- 1
    [COLOUR] LONG,                       -- 2
    [PICTURE] TEXT(64),                  -- 3
    CONSTRAINT PrimaryKey PRIMARY KEY ([ACTIVITY TYPE])
);

-- A row is one priority of a service request; request lists show its colour.
CREATE TABLE [Priority Codes] (
    [PRIORITY] TEXT(20) NOT NULL,        -- 0
    [DESCRIPTION] TEXT(100),             -- 1
    [COLOUR] LONG,                       -- 2
    [PICTURE] TEXT(64),                  -- 3
    CONSTRAINT PrimaryKey PRIMARY KEY ([PRIORITY])
);

-- A row is one status of a service request, sales opportunity or sales order. Requests
-- are written "Open" and "Closed" when they move, so those two codes must exist.
CREATE TABLE [Status Codes] (
    [STATUS] TEXT(30) NOT NULL,          -- 0
    [DESCRIPTION] TEXT(100),             -- 1
    CONSTRAINT PrimaryKey PRIMARY KEY ([STATUS])
);

-- A row is one time zone of customers and contacts. Column 2 is the zone's offset from
-- UTC in minutes, not a colour: the code editor leaves it alone for this table.
CREATE TABLE [Time Zones] (
    [TIME ZONE] TEXT(10) NOT NULL,       -- 0
    [DESCRIPTION] TEXT(100),             -- 1
    [UTC OFFSET] SHORT,                  -- 2
    CONSTRAINT PrimaryKey PRIMARY KEY ([TIME ZONE])
);

-- A row is one country customers are located in; the code is the name printed in
-- addresses.
CREATE TABLE [Countries] (
    [COUNTRY] TEXT(50) NOT NULL,         -- 0
    [DESCRIPTION] TEXT(100),             -- 1
    CONSTRAINT PrimaryKey PRIMARY KEY ([COUNTRY])
);

-- A row is one industry a customer works in.
CREATE TABLE [Industry Codes] (
    [INDUSTRY CODE] TEXT(30) NOT NULL,   -- 0
    [DESCRIPTION] TEXT(100),             -- 1
    CONSTRAINT PrimaryKey PRIMARY KEY ([INDUSTRY CODE])
);

-- A row is one sales territory an account belongs to.
CREATE TABLE [Sales Territories] (
    [TERRITORY] TEXT(30) NOT NULL,       -- 0
    [DESCRIPTION] TEXT(100),             -- 1
    CONSTRAINT PrimaryKey PRIMARY KEY ([TERRITORY])
);

-- A row is one kind of relationship between the business and an account.
CREATE TABLE [Relationship Codes] (
    [RELATIONSHIP] TEXT(30) NOT NULL,    -- 0
    [DESCRIPTION] TEXT(100),             -- 1
    CONSTRAINT PrimaryKey PRIMARY KEY ([RELATIONSHIP])
);

-- A row is one role a contact person plays at an account.
CREATE TABLE [Role Names] (
    [ROLE] TEXT(30) NOT NULL,            -- 0
    [DESCRIPTION] TEXT(100),             -- 1
    CONSTRAINT PrimaryKey PRIMARY KEY ([ROLE])
);

-- A row is one outcome of an activity (mostly of a telephone call).
CREATE TABLE [Call Result Codes] (
    [RESULT CODE] TEXT(30) NOT NULL,     -- 0
    [DESCRIPTION] TEXT(100),             -- 1
    CONSTRAINT PrimaryKey PRIMARY KEY ([RESULT CODE])
);

-- A row is one kind of service request.
CREATE TABLE [Request Types] (
    [REQUEST TYPE] TEXT(30) NOT NULL,    -- 0
    [DESCRIPTION] TEXT(100),             -- 1
    CONSTRAINT PrimaryKey PRIMARY KEY ([REQUEST TYPE])
);

-- A row is one work group that service requests and their labour are allocated to.
CREATE TABLE [Support Areas] (
    [WORK GROUP] TEXT(30) NOT NULL,      -- 0
    [DESCRIPTION] TEXT(100),             -- 1
    CONSTRAINT PrimaryKey PRIMARY KEY ([WORK GROUP])
);

-- A row is one way a service request was resolved.
CREATE TABLE [Resolution Codes] (
    [RESOLUTION CODE] TEXT(30) NOT NULL, -- 0
    [DESCRIPTION] TEXT(100),             -- 1
    CONSTRAINT PrimaryKey PRIMARY KEY ([RESOLUTION CODE])
);

-- A row is one payment card accepted on sales orders.
CREATE TABLE [Card Types] (
    [CARD TYPE] TEXT(20) NOT NULL,       -- 0
    [DESCRIPTION] TEXT(100),             -- 1
    CONSTRAINT PrimaryKey PRIMARY KEY ([CARD TYPE])
);

-- A row is one shipping state of a sales order.
CREATE TABLE [Shipping Status] (
    [SHIP STATUS] TEXT(20) NOT NULL,     -- 0
    [DESCRIPTION] TEXT(100),             -- 1
    CONSTRAINT PrimaryKey PRIMARY KEY ([SHIP STATUS])
);
