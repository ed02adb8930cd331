-- Data.mdb: service requests with their labour and materials, service contracts, customer
-- inventory, returns and known problems.
-- Columns are bound by ordinal (the number after "--", counted from 0): never reorder or
-- insert columns, add new ones at the end. A column that holds a key of another table or a
-- code of a code table carries that key's name.

-- A row is one open service request: what was asked, by whom, for which item and contract,
-- who it is allocated to, when it is scheduled and what it has cost so far.
CREATE TABLE [CURRENT REQUESTS] (
    [REQUESTNO] LONG NOT NULL,      -- 0
    [REQUESTED] DATETIME,           -- 1
    [REQUEST TYPE] TEXT(30),        -- 2
    [PRODUCTCODE] TEXT(20),         -- 3
    [PRIORITY] TEXT(20),            -- 4
    [STATUS] TEXT(30),              -- 5
    [CUSTOMER NAME] TEXT(60),       -- 6
    [SUMMARY] TEXT(255),            -- 7
    [ITEMID] TEXT(20),              -- 8
    [CONTACT NAME] TEXT(50),        -- 9
    [TELEPHONENO] TEXT(20),         -- 10
    [AGREEMENTNO] TEXT(20),         -- 11 CONTRACTID of SERVICE CONTRACTS
    [DOWNFLAG] BIT,                 -- 12
    [ALLOCATED] DATETIME,           -- 13
    [WORK GROUP] TEXT(30),          -- 14
    [PERSONNEL] TEXT(20),           -- 15 user id
    [REFNO] TEXT(30),               -- 16
    [ALLOCATENOTES] MEMO,           -- 17
    [SCHEDULEDDATETIME] DATETIME,   -- 18
    [SCHEDULENOTES] MEMO,           -- 19
    [COMPLETEDBY] TEXT(20),         -- 20 not shown by the request window
    [COMPLETED] DATETIME,           -- 21
    [RESOLUTION CODE] TEXT(30),     -- 22
    [LEADTIME] DOUBLE,              -- 23
    [DOWNTIME] DOUBLE,              -- 24
    [RESPONSETIME] DOUBLE,          -- 25
    [HOURSWORKED] DOUBLE,           -- 26
    [TOTALCOST] CURRENCY,           -- 27
    [TOTALCHARGE] CURRENCY,         -- 28
    [ORDERNO] LONG,                 -- 29 order that charged it; Null or 0 while unbilled
    [ORDEREDBY] TEXT(50),           -- 30
    [CUSTOMERORDER] TEXT(30),       -- 31 not shown by the request window
    [CONTRACTFLAG] TEXT(3),         -- 32 "Yes" once charged to its service contract
    [DESCRIPTION] MEMO,             -- 33
    [RESOLUTION] MEMO,              -- 34
    CONSTRAINT PrimaryKey PRIMARY KEY ([REQUESTNO])
);
CREATE INDEX [CUSTOMER NAME] ON [CURRENT REQUESTS] ([CUSTOMER NAME]);
CREATE INDEX [PERSONNEL] ON [CURRENT REQUESTS] ([PERSONNEL]);
CREATE INDEX [REQUESTED] ON [CURRENT REQUESTS] ([REQUESTED]);
CREATE INDEX [AGREEMENTNO] ON [CURRENT REQUESTS] ([AGREEMENTNO]);
CREATE INDEX [ITEMID] ON [CURRENT REQUESTS] ([ITEMID]);
CREATE INDEX [ORDERNO] ON [CURRENT REQUESTS] ([ORDERNO]);

-- A row is one closed service request, moved whole from CURRENT REQUESTS (same columns);
-- the billing run marks it with the sales order that charged it.
CREATE TABLE [COMPLETED REQUESTS] (
    [REQUESTNO] LONG NOT NULL,      -- 0
    [REQUESTED] DATETIME,           -- 1
    [REQUEST TYPE] TEXT(30),        -- 2
    [PRODUCTCODE] TEXT(20),         -- 3
    [PRIORITY] TEXT(20),            -- 4
    [STATUS] TEXT(30),              -- 5
    [CUSTOMER NAME] TEXT(60),       -- 6
    [SUMMARY] TEXT(255),            -- 7
    [ITEMID] TEXT(20),              -- 8
    [CONTACT NAME] TEXT(50),        -- 9
    [TELEPHONENO] TEXT(20),         -- 10
    [AGREEMENTNO] TEXT(20),         -- 11 CONTRACTID of SERVICE CONTRACTS
    [DOWNFLAG] BIT,                 -- 12
    [ALLOCATED] DATETIME,           -- 13
    [WORK GROUP] TEXT(30),          -- 14
    [PERSONNEL] TEXT(20),           -- 15 user id
    [REFNO] TEXT(30),               -- 16
    [ALLOCATENOTES] MEMO,           -- 17
    [SCHEDULEDDATETIME] DATETIME,   -- 18
    [SCHEDULENOTES] MEMO,           -- 19
    [COMPLETEDBY] TEXT(20),         -- 20 not shown by the request window
    [COMPLETED] DATETIME,           -- 21
    [RESOLUTION CODE] TEXT(30),     -- 22
    [LEADTIME] DOUBLE,              -- 23
    [DOWNTIME] DOUBLE,              -- 24
    [RESPONSETIME] DOUBLE,          -- 25
    [HOURSWORKED] DOUBLE,           -- 26
    [TOTALCOST] CURRENCY,           -- 27
    [TOTALCHARGE] CURRENCY,         -- 28
    [ORDERNO] LONG,                 -- 29 order that charged it; Null or 0 while unbilled
    [ORDEREDBY] TEXT(50),           -- 30
    [CUSTOMERORDER] TEXT(30),       -- 31 not shown by the request window
    [CONTRACTFLAG] TEXT(3),         -- 32 "Yes" once charged to its service contract
    [DESCRIPTION] MEMO,             -- 33
    [RESOLUTION] MEMO,              -- 34
    CONSTRAINT PrimaryKey PRIMARY KEY ([REQUESTNO])
);
CREATE INDEX [CUSTOMER NAME] ON [COMPLETED REQUESTS] ([CUSTOMER NAME]);
CREATE INDEX [PERSONNEL] ON [COMPLETED REQUESTS] ([PERSONNEL]);
CREATE INDEX [REQUESTED] ON [COMPLETED REQUESTS] ([REQUESTED]);
CREATE INDEX [AGREEMENTNO] ON [COMPLETED REQUESTS] ([AGREEMENTNO]);
CREATE INDEX [ITEMID] ON [COMPLETED REQUESTS] ([ITEMID]);
CREATE INDEX [ORDERNO] ON [COMPLETED REQUESTS] ([ORDERNO]);

-- A row is one labour line of a service request: who worked, when, for how many hours, at
-- which charge and cost rates, and whether it is billable.
CREATE TABLE [REQUEST ACTIVITIES] (
    [REQUESTNO] LONG NOT NULL,      -- 0
    [ACTIVITYNO] LONG NOT NULL,     -- 1
    [DATE/TIME] DATETIME,           -- 2
    [WORK GROUP] TEXT(30),          -- 3
    [PERSONNEL] TEXT(20),           -- 4 user id
    [DESCRIPTION] TEXT(255),        -- 5
    [DURATION] DOUBLE,              -- 6 hours
    [CHARGERATE] CURRENCY,          -- 7
    [COSTRATE] CURRENCY,            -- 8
    [SCHEDULED] DATETIME,           -- 9
    [COMPLETED] DATETIME,           -- 10
    [BILLABLE] BIT,                 -- 11
    CONSTRAINT PrimaryKey PRIMARY KEY ([REQUESTNO], [ACTIVITYNO])
);
CREATE INDEX [PERSONNEL] ON [REQUEST ACTIVITIES] ([PERSONNEL]);
CREATE INDEX [SCHEDULED] ON [REQUEST ACTIVITIES] ([SCHEDULED]);
CREATE INDEX [DATE/TIME] ON [REQUEST ACTIVITIES] ([DATE/TIME]);

-- A row is one material line of a service request: a product used, its quantity, prices,
-- discount and tax, and the line's charge (the nine columns of the sales detail tables).
CREATE TABLE [REQUEST MATERIALS] (
    [REQUESTNO] LONG NOT NULL,      -- 0
    [LINENO] SHORT NOT NULL,        -- 1
    [PRODUCTCODE] TEXT(20),         -- 2
    [DESCRIPTION] TEXT(255),        -- 3
    [QUANTITY] DOUBLE,              -- 4
    [UNITPRICE] DOUBLE,             -- 5
    [DISCOUNTRATE] DOUBLE,          -- 6
    [TAXRATE] DOUBLE,               -- 7
    [LINEVALUE] DOUBLE,             -- 8
    CONSTRAINT PrimaryKey PRIMARY KEY ([REQUESTNO], [LINENO])
);
CREATE INDEX [PRODUCTCODE] ON [REQUEST MATERIALS] ([PRODUCTCODE]);

-- A row is one service contract of a customer: its type, period and price, how many
-- requests and hours it covers and has used, and the sales order that billed it.
CREATE TABLE [SERVICE CONTRACTS] (
    [CONTRACTID] TEXT(20) NOT NULL, -- 0
    [CONTRACTTYPE] TEXT(30),        -- 1
    [CUSTOMER NAME] TEXT(60),       -- 2
    [STARTDATE] DATETIME,           -- 3
    [EXPIRYDATE] DATETIME,          -- 4
    [PRICE] CURRENCY,               -- 5
    [REQUESTSALLOWED] LONG,         -- 6
    [REQUESTSTODATE] LONG,          -- 7
    [CONTACT NAME] TEXT(50),        -- 8
    [COMMENTS] MEMO,                -- 9
    [HOURSALLOWED] DOUBLE,          -- 10
    [HOURSUSED] DOUBLE,             -- 11
    [ORDERNO] LONG,                 -- 12 order that billed it; Null or 0 while unbilled
    [SALES REP ID] TEXT(20),        -- 13
    [COVERAGE] TEXT(50),            -- 14
    CONSTRAINT PrimaryKey PRIMARY KEY ([CONTRACTID])
);
CREATE INDEX [CUSTOMER NAME] ON [SERVICE CONTRACTS] ([CUSTOMER NAME]);
CREATE INDEX [ORDERNO] ON [SERVICE CONTRACTS] ([ORDERNO]);
CREATE INDEX [EXPIRYDATE] ON [SERVICE CONTRACTS] ([EXPIRYDATE]);

-- A row is one item installed at a customer (usually a tracked product sold on a sales
-- order): its product, serial number, place, configuration, warranty and contract, the
-- document that created it, and the order that billed it.
CREATE TABLE [CUSTOMER INVENTORY] (
    [ITEMID] TEXT(20) NOT NULL,     -- 0
    [PRODUCTCODE] TEXT(20),         -- 1
    [SERIALNO] TEXT(30),            -- 2
    [DESCRIPTION] TEXT(255),        -- 3
    [CATEGORY] TEXT(30),            -- 4
    [CUSTOMER NAME] TEXT(60),       -- 5
    [CONTACT NAME] TEXT(50),        -- 6
    [LOCATION] TEXT(100),           -- 7
    [INSTALLDATE] DATETIME,         -- 8
    [CONTRACTID] TEXT(20),          -- 9
    [ORDERNO] TEXT(20),             -- 10 order that billed it, as text; empty while unbilled
    [SUPPLIEDDATE] DATETIME,        -- 11
    [CHARGE] CURRENCY,              -- 12
    [WARRANTYEXPIRY] DATETIME,      -- 13
    [SOURCEDOCTYPE] TEXT(20),       -- 14 "order" for items created by a sales order
    [SOURCEDOCID] TEXT(50),         -- 15
    [STATUS] TEXT(30),              -- 16
    [CONFIGURATION] MEMO,           -- 17
    [COMMENTS] MEMO,                -- 18
    CONSTRAINT PrimaryKey PRIMARY KEY ([ITEMID])
);
CREATE INDEX [CUSTOMER NAME] ON [CUSTOMER INVENTORY] ([CUSTOMER NAME]);
CREATE INDEX [SourceDoc] ON [CUSTOMER INVENTORY] ([SOURCEDOCTYPE], [SOURCEDOCID]);
CREATE INDEX [SERIALNO] ON [CUSTOMER INVENTORY] ([SERIALNO]);
CREATE INDEX [PRODUCTCODE] ON [CUSTOMER INVENTORY] ([PRODUCTCODE]);
CREATE INDEX [CONTRACTID] ON [CUSTOMER INVENTORY] ([CONTRACTID]);
CREATE INDEX [ORDERNO] ON [CUSTOMER INVENTORY] ([ORDERNO]);

-- A row is one returned-goods authorisation: a numbered permission for a customer to return
-- goods, why, what will be done and the credit given.
CREATE TABLE [RMAS] (
    [RMANO] LONG NOT NULL,          -- 0
    [RMADATE] DATETIME,             -- 1
    [USER ID] TEXT(20),             -- 2
    [CUSTOMER NAME] TEXT(60),       -- 3
    [CONTACT NAME] TEXT(50),        -- 4
    [ORDERNO] LONG,                 -- 5
    [REQUESTNO] LONG,               -- 6
    [STATUS] TEXT(30),              -- 7
    [REASON] TEXT(100),             -- 8
    [RETURNBY] DATETIME,            -- 9
    [RECEIVEDDATE] DATETIME,        -- 10
    [ACTION] TEXT(30),              -- 11
    [CREDITAMOUNT] CURRENCY,        -- 12
    [COMMENTS] MEMO,                -- 13
    CONSTRAINT PrimaryKey PRIMARY KEY ([RMANO])
);
CREATE INDEX [CUSTOMER NAME] ON [RMAS] ([CUSTOMER NAME]);
CREATE INDEX [RMADATE] ON [RMAS] ([RMADATE]);

-- A row is one item returned under an RMA: the inventory item or product, serial number,
-- quantity, fault and resolution.
CREATE TABLE [RMA ITEMS] (
    [RMANO] LONG NOT NULL,          -- 0
    [LINENO] SHORT NOT NULL,        -- 1
    [ITEMID] TEXT(20),              -- 2
    [PRODUCTCODE] TEXT(20),         -- 3
    [DESCRIPTION] TEXT(255),        -- 4
    [SERIALNO] TEXT(30),            -- 5
    [QUANTITY] DOUBLE,              -- 6
    [FAULT] TEXT(255),              -- 7
    [RECEIVED] BIT,                 -- 8
    [RESOLUTION] TEXT(255),         -- 9
    CONSTRAINT PrimaryKey PRIMARY KEY ([RMANO], [LINENO])
);
CREATE INDEX [ITEMID] ON [RMA ITEMS] ([ITEMID]);

-- A row is one known problem with a product: its symptoms, cause, work-around and
-- resolution, so that service staff can answer a request quickly.
CREATE TABLE [KNOWN PROBLEMS] (
    [PROBLEMNO] LONG NOT NULL,      -- 0
    [REPORTED] DATETIME,            -- 1
    [PRODUCTCODE] TEXT(20),         -- 2
    [SUMMARY] TEXT(255),            -- 3
    [SYMPTOMS] MEMO,                -- 4
    [CAUSE] MEMO,                   -- 5
    [WORKAROUND] MEMO,              -- 6
    [RESOLUTION] MEMO,              -- 7
    [STATUS] TEXT(30),              -- 8
    [USER ID] TEXT(20),             -- 9
    [RESOLVEDDATE] DATETIME,        -- 10
    [REQUESTNO] LONG,               -- 11
    CONSTRAINT PrimaryKey PRIMARY KEY ([PROBLEMNO])
);
CREATE INDEX [PRODUCTCODE] ON [KNOWN PROBLEMS] ([PRODUCTCODE]);
