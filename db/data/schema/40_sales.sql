-- Data.mdb: quotations, sales orders and purchase orders with their lines, products,
-- suppliers and sales campaigns.
-- Columns are bound by ordinal (the number after "--", counted from 0): never reorder or
-- insert columns, add new ones at the end. A column that holds a key of another table or a
-- code of a code table carries that key's name.

-- A row is one numbered quotation to a customer: dates, contact, campaign, sales rep and
-- totals; its lines are rows of QUOTATIONS DETAIL.
CREATE TABLE [QUOTATIONS] (
    [QUOTENO] LONG NOT NULL,        -- 0
    [QUOTEDATE] DATETIME,           -- 1
    [EXPIRYDATE] DATETIME,          -- 2
    [CUSTOMER NAME] TEXT(60),       -- 3
    [CONTACT NAME] TEXT(50),        -- 4
    [CAMPAIGN] TEXT(50),            -- 5
    [SALES REP ID] TEXT(20),        -- 6
    [ITEMTOTAL] CURRENCY,           -- 7
    [FREIGHTTOTAL] CURRENCY,        -- 8
    [SALESTAX] CURRENCY,            -- 9
    [TOTAL] CURRENCY,               -- 10
    [COMMENTS] MEMO,                -- 11
    CONSTRAINT PrimaryKey PRIMARY KEY ([QUOTENO])
);
CREATE INDEX [CUSTOMER NAME] ON [QUOTATIONS] ([CUSTOMER NAME]);
CREATE INDEX [SALES REP ID] ON [QUOTATIONS] ([SALES REP ID]);
CREATE INDEX [QUOTEDATE] ON [QUOTATIONS] ([QUOTEDATE]);

-- A row is one line of a quotation: product, description, quantity, unit price, discount,
-- tax rate and line value.
CREATE TABLE [QUOTATIONS DETAIL] (
    [QUOTENO] LONG NOT NULL,        -- 0
    [LINENO] SHORT NOT NULL,        -- 1
    [PRODUCTCODE] TEXT(100),        -- 2 a product, or a billed item ("Projects:Head Office Move")
    [DESCRIPTION] TEXT(255),        -- 3
    [QUANTITY] DOUBLE,              -- 4
    [UNITPRICE] DOUBLE,             -- 5
    [DISCOUNTRATE] DOUBLE,          -- 6
    [TAXRATE] DOUBLE,               -- 7
    [LINEVALUE] DOUBLE,             -- 8
    CONSTRAINT PrimaryKey PRIMARY KEY ([QUOTENO], [LINENO])
);
CREATE INDEX [PRODUCTCODE] ON [QUOTATIONS DETAIL] ([PRODUCTCODE]);

-- A row is one numbered sales order (also the invoice the billing run raises): customer,
-- contact, dates, totals, payment and shipping; its lines are rows of SALES ORDERS DETAIL.
CREATE TABLE [SALES ORDERS] (
    [ORDERNO] LONG NOT NULL,        -- 0
    [ORDERDATE] DATETIME,           -- 1
    [ACCOUNTNO] TEXT(20),           -- 2
    [CUSTOMER NAME] TEXT(60),       -- 3
    [CONTACT NAME] TEXT(50),        -- 4
    [CUSTOMERORDER] TEXT(30),       -- 5
    [DELIVERBY] DATETIME,           -- 6
    [CAMPAIGN] TEXT(50),            -- 7
    [SALES REP ID] TEXT(20),        -- 8
    [ITEMTOTAL] CURRENCY,           -- 9
    [FREIGHTTOTAL] CURRENCY,        -- 10
    [SALESTAX] CURRENCY,            -- 11
    [TOTAL] CURRENCY,               -- 12
    [COMMENTS] MEMO,                -- 13
    [STATUS] TEXT(30),              -- 14
    [PAYMENTTYPE] TEXT(30),         -- 15
    [CARD TYPE] TEXT(20),           -- 16
    [CARDNO] TEXT(30),              -- 17
    [CARDHOLDER] TEXT(50),          -- 18
    [CARDEXPIRY] TEXT(7),           -- 19
    [AMOUNTPAID] CURRENCY,          -- 20
    [PAYMENTDUE] DATETIME,          -- 21
    [PAYMENTDATE] DATETIME,         -- 22
    [APPROVALNO] TEXT(30),          -- 23
    [SHIPPEDBY] TEXT(20),           -- 24
    [SHIP STATUS] TEXT(20),         -- 25
    [SHIPDATE] DATETIME,            -- 26
    [SHIPREF] TEXT(50),             -- 27
    [SHIPNOTES] MEMO,               -- 28
    CONSTRAINT PrimaryKey PRIMARY KEY ([ORDERNO])
);
CREATE INDEX [CUSTOMER NAME] ON [SALES ORDERS] ([CUSTOMER NAME]);
CREATE INDEX [SALES REP ID] ON [SALES ORDERS] ([SALES REP ID]);
CREATE INDEX [ORDERDATE] ON [SALES ORDERS] ([ORDERDATE]);

-- A row is one line of a sales order: product, description, quantity, unit price, discount,
-- tax rate and line value.
CREATE TABLE [SALES ORDERS DETAIL] (
    [ORDERNO] LONG NOT NULL,        -- 0
    [LINENO] SHORT NOT NULL,        -- 1
    [PRODUCTCODE] TEXT(100),        -- 2 a product, or a billed item ("Projects:Head Office Move")
    [DESCRIPTION] TEXT(255),        -- 3
    [QUANTITY] DOUBLE,              -- 4
    [UNITPRICE] DOUBLE,             -- 5
    [DISCOUNTRATE] DOUBLE,          -- 6
    [TAXRATE] DOUBLE,               -- 7
    [LINEVALUE] DOUBLE,             -- 8
    CONSTRAINT PrimaryKey PRIMARY KEY ([ORDERNO], [LINENO])
);
CREATE INDEX [PRODUCTCODE] ON [SALES ORDERS DETAIL] ([PRODUCTCODE]);

-- A row is one numbered purchase order to a supplier: dates, supplier reference, the
-- customer it is bought for (if any), totals and receipt; its lines are rows of PURCHASE
-- ORDERS DETAIL.
CREATE TABLE [PURCHASE ORDERS] (
    [ORDERNO] LONG NOT NULL,        -- 0
    [ORDERDATE] DATETIME,           -- 1
    [SUPPLIER NAME] TEXT(60),       -- 2
    [SUPPLIERCONTACT] TEXT(50),     -- 3
    [SUPPLIERREF] TEXT(30),         -- 4
    [CUSTOMER NAME] TEXT(60),       -- 5
    [DELIVERBY] DATETIME,           -- 6
    [DELIVERTO] TEXT(255),          -- 7
    [USER ID] TEXT(20),             -- 8
    [ITEMTOTAL] CURRENCY,           -- 9
    [FREIGHTTOTAL] CURRENCY,        -- 10
    [SALESTAX] CURRENCY,            -- 11
    [TOTAL] CURRENCY,               -- 12
    [COMMENTS] MEMO,                -- 13
    [STATUS] TEXT(30),              -- 14
    [RECEIVEDDATE] DATETIME,        -- 15
    [SUPPLIERINVOICE] TEXT(30),     -- 16
    [SALESORDERNO] LONG,            -- 17
    CONSTRAINT PrimaryKey PRIMARY KEY ([ORDERNO])
);
CREATE INDEX [SUPPLIER NAME] ON [PURCHASE ORDERS] ([SUPPLIER NAME]);
CREATE INDEX [CUSTOMER NAME] ON [PURCHASE ORDERS] ([CUSTOMER NAME]);
CREATE INDEX [ORDERDATE] ON [PURCHASE ORDERS] ([ORDERDATE]);

-- A row is one line of a purchase order: product, description, quantity, unit price,
-- discount, tax rate and line value.
CREATE TABLE [PURCHASE ORDERS DETAIL] (
    [ORDERNO] LONG NOT NULL,        -- 0
    [LINENO] SHORT NOT NULL,        -- 1
    [PRODUCTCODE] TEXT(20),         -- 2
    [DESCRIPTION] TEXT(255),        -- 3
    [QUANTITY] DOUBLE,              -- 4
    [UNITPRICE] DOUBLE,             -- 5
    [DISCOUNTRATE] DOUBLE,          -- 6
    [TAXRATE] DOUBLE,               -- 7
    [LINEVALUE] DOUBLE,             -- 8
    CONSTRAINT PrimaryKey PRIMARY KEY ([ORDERNO], [LINENO])
);
CREATE INDEX [PRODUCTCODE] ON [PURCHASE ORDERS DETAIL] ([PRODUCTCODE]);

-- A row is one product or service the business sells: prices (with a special price for a
-- period), tax rate, cost, supplier, and whether a sold unit becomes a customer-inventory
-- item.
CREATE TABLE [PRODUCTS] (
    [PRODUCTCODE] TEXT(20) NOT NULL, -- 0
    [CATEGORY] TEXT(30),             -- 1
    [DESCRIPTION] TEXT(255),         -- 2
    [UNITPRICE] CURRENCY,            -- 3
    [SPECIALPRICE] CURRENCY,         -- 4
    [SPECIALSTART] DATETIME,         -- 5
    [SPECIALEND] DATETIME,           -- 6
    [UNIT] TEXT(20),                 -- 7
    [TAXRATE] DOUBLE,                -- 8
    [SUPPLIER NAME] TEXT(60),        -- 9
    [SUPPLIERCODE] TEXT(30),         -- 10
    [COSTPRICE] CURRENCY,            -- 11
    [CUSTOMERINVENTORY] BIT,         -- 12
    [WARRANTYMONTHS] SHORT,          -- 13
    [QUANTITYONHAND] DOUBLE,         -- 14
    [REORDERLEVEL] DOUBLE,           -- 15
    [DISCONTINUED] BIT,              -- 16
    [NOTES] MEMO,                    -- 17
    CONSTRAINT PrimaryKey PRIMARY KEY ([PRODUCTCODE])
);
CREATE INDEX [CATEGORY] ON [PRODUCTS] ([CATEGORY]);
CREATE INDEX [SUPPLIER NAME] ON [PRODUCTS] ([SUPPLIER NAME]);

-- A row is one supplier the business buys from: address, numbers, contact person and
-- payment terms.
CREATE TABLE [SUPPLIERS] (
    [SUPPLIER NAME] TEXT(60) NOT NULL, -- 0
    [ACCOUNTNO] TEXT(20),              -- 1
    [STREET] TEXT(150),                -- 2
    [CITY] TEXT(50),                   -- 3
    [STATE] TEXT(3),                   -- 4
    [POSTCODE] TEXT(12),               -- 5
    [COUNTRY] TEXT(50),                -- 6
    [TELEPHONENO] TEXT(20),            -- 7
    [FAXNO] TEXT(20),                  -- 8
    [EMAIL ADDRESS] TEXT(100),         -- 9
    [INTERNETURL] TEXT(150),           -- 10
    [CONTACT NAME] TEXT(50),           -- 11
    [PAYMENTTERMS] TEXT(50),           -- 12
    [COMMENTS] MEMO,                   -- 13
    CONSTRAINT PrimaryKey PRIMARY KEY ([SUPPLIER NAME])
);

-- A row is one sales campaign: its period, manager, budget, cost and target; customers,
-- activities, quotations and orders name it in their CAMPAIGN column.
CREATE TABLE [SALES CAMPAIGNS] (
    [CAMPAIGN] TEXT(50) NOT NULL,   -- 0
    [DESCRIPTION] TEXT(255),        -- 1
    [STARTDATE] DATETIME,           -- 2
    [ENDDATE] DATETIME,             -- 3
    [USER ID] TEXT(20),             -- 4
    [BUDGET] CURRENCY,              -- 5
    [ACTUALCOST] CURRENCY,          -- 6
    [TARGETREVENUE] CURRENCY,       -- 7
    [STATUS] TEXT(30),              -- 8
    [COMMENTS] MEMO,                -- 9
    CONSTRAINT PrimaryKey PRIMARY KEY ([CAMPAIGN])
);
