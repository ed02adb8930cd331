#include "data/demo_vocabulary.h"

#include <QHash>

namespace tv::data::demo {

const std::vector<StaffMember>& staff() {
    static const std::vector<StaffMember> all = {
        {"admin", "System Administrator", "Administrator", "", "", Duty::Administrator, 0, true,
         false, true, ""},
        {"mwilson", "Margaret Wilson", "Sales Manager", "(02) 9555 0101", "0412 555 101",
         Duty::Sales, 120, false, false, true, ""},
        {"dnguyen", "David Nguyen", "Account Manager", "(02) 9555 0102", "0412 555 102",
         Duty::Sales, 95, false, false, false, ""},
        {"sobrien", "Siobhan O'Brien", "Account Manager", "(02) 9555 0103", "0412 555 103",
         Duty::Sales, 95, false, false, false, ""},
        {"rpatel", "Raj Patel", "Account Manager", "(02) 9555 0104", "0412 555 104", Duty::Sales,
         95, false, true, false, ""},
        {"ktanaka", "Kenji Tanaka", "Service Manager", "(02) 9555 0201", "0412 555 201",
         Duty::Service, 110, false, false, true, "Field Service"},
        {"lrossi", "Luca Rossi", "Field Technician", "(02) 9555 0202", "0412 555 202",
         Duty::Service, 85, false, false, false, "Field Service"},
        {"abrown", "Amy Brown", "Field Technician", "(02) 9555 0203", "0412 555 203", Duty::Service,
         85, false, false, false, "Installations"},
        {"tmurphy", "Tom Murphy", "Workshop Technician", "(02) 9555 0204", "0412 555 204",
         Duty::Service, 75, false, false, false, "Workshop"},
        {"hclarke", "Helen Clarke", "Help Desk Officer", "(02) 9555 0205", "0412 555 205",
         Duty::Service, 65, false, false, false, "Help Desk"},
        {"jlee", "Jenny Lee", "Accounts Officer", "(02) 9555 0301", "0412 555 301", Duty::Office,
         60, false, false, true, "Administration"},
    };
    return all;
}

const std::vector<Supplier>& suppliers() {
    static const std::vector<Supplier> all = {
        {"Kestrel Imaging Australia", "KES-4410", "12 Rodborough Road", "Frenchs Forest", "NSW",
         "2086", "(02) 9451 2200", "(02) 9451 2201", "orders@kestrelimaging.com.au",
         "www.kestrelimaging.com.au", "Paul Whitaker", "30 days from end of month"},
        {"Norland Office Systems", "NOR-1022", "Building C, 40 Talavera Road", "Macquarie Park",
         "NSW", "2113", "(02) 9887 6100", "(02) 9887 6101", "sales@norland.com.au",
         "www.norland.com.au", "Leanne Foster", "30 days"},
        {"Barton & Hale Distribution", "BH-0077", "5 Huntingwood Drive", "Huntingwood", "NSW",
         "2148", "(02) 9672 3300", "(02) 9672 3301", "trade@bartonhale.com.au",
         "www.bartonhale.com.au", "Gary Hale", "14 days"},
        {"O'Connell Paper Merchants", "OCP-3310", "88 Princes Highway", "St Peters", "NSW", "2044",
         "(02) 9519 4400", "(02) 9519 4401", "orders@oconnellpaper.com.au",
         "www.oconnellpaper.com.au", "Maeve O'Connell", "7 days"},
        {"Sapphire Secure Shredding Products", "SAP-0410", "3/14 Lexington Drive", "Bella Vista",
         "NSW", "2153", "(02) 8824 5500", "(02) 8824 5501", "sales@sapphireshred.com.au",
         "www.sapphireshred.com.au", "Imran Qureshi", "30 days"},
        {"Tasman Parts & Spares", "TPS-7731", "21 Boundary Road", "Carole Park", "QLD", "4300",
         "(07) 3271 8800", "(07) 3271 8801", "parts@tasmanparts.com.au", "www.tasmanparts.com.au",
         "Bree Cummins", "30 days"},
    };
    return all;
}

const std::vector<ProductInfo>& products() {
    using K = ProductKind;
    static const std::vector<ProductInfo> all = {
        {"KM-C3020", "Copiers", "Kestrel C3020 colour multifunction copier, 30 ppm, A3", 8950, 6120,
         "each", 0, K::Machine, 12, false},
        {"KM-C4535", "Copiers", "Kestrel C4535 colour multifunction copier, 45 ppm, A3", 13400,
         9350, "each", 0, K::Machine, 12, false},
        {"KM-B6060", "Copiers", "Kestrel B6060 mono production copier, 60 ppm, A3", 16900, 11800,
         "each", 0, K::Machine, 12, false},
        {"KM-C2510", "Copiers",
         "Kestrel C2510 colour multifunction copier, 25 ppm (replaced "
         "by C3020)",
         7200, 5100, "each", 0, K::Machine, 12, true},
        {"NP-M420", "Printers", "Norland M420 mono laser printer, 42 ppm, duplex, network", 689,
         455, "each", 1, K::Machine, 12, false},
        {"NP-C360", "Printers", "Norland C360 colour laser printer, 36 ppm, duplex, network", 1290,
         860, "each", 1, K::Machine, 12, false},
        {"NP-W700", "Printers", "Norland W700 wide-format plan printer, 36 inch", 7450, 5300,
         "each", 1, K::Machine, 12, false},
        {"NS-D40", "Scanners", "Norland D40 document scanner, 40 ppm, duplex", 1150, 760, "each", 1,
         K::Machine, 12, false},
        {"NF-L250", "Fax Machines", "Norland L250 laser fax with handset", 549, 360, "each", 1,
         K::Machine, 12, true},
        {"SS-X12", "Shredders", "Sapphire X12 cross-cut shredder, 12 sheets, security level P-4",
         429, 265, "each", 4, K::Machine, 24, false},
        {"SS-X30", "Shredders", "Sapphire X30 office shredder, 30 sheets, 120 litre bin", 1890,
         1210, "each", 4, K::Machine, 24, false},
        {"KA-FIN1", "Accessories", "Kestrel booklet finisher with stapling and hole punch", 2350,
         1620, "each", 0, K::Accessory, 0, false},
        {"KA-PF500", "Accessories", "Kestrel 500-sheet paper feeder", 690, 470, "each", 0,
         K::Accessory, 0, false},
        {"KA-CAB", "Accessories", "Kestrel copier cabinet with storage", 320, 205, "each", 0,
         K::Accessory, 0, false},
        {"KA-FAX", "Accessories", "Kestrel fax board for C-series copiers", 780, 540, "each", 0,
         K::Accessory, 0, false},
        {"KT-C3K", "Toner", "Kestrel C-series toner, black, 24,000 pages", 145, 92, "cartridge", 0,
         K::Consumable, 0, false},
        {"KT-C3C", "Toner", "Kestrel C-series toner, cyan, 18,000 pages", 189, 121, "cartridge", 0,
         K::Consumable, 0, false},
        {"KT-C3M", "Toner", "Kestrel C-series toner, magenta, 18,000 pages", 189, 121, "cartridge",
         0, K::Consumable, 0, false},
        {"KT-C3Y", "Toner", "Kestrel C-series toner, yellow, 18,000 pages", 189, 121, "cartridge",
         0, K::Consumable, 0, false},
        {"KT-B60", "Toner", "Kestrel B6060 toner, black, 45,000 pages", 210, 138, "cartridge", 0,
         K::Consumable, 0, false},
        {"NT-420", "Toner", "Norland M420 toner, 15,000 pages", 165, 104, "cartridge", 1,
         K::Consumable, 0, false},
        {"NT-360K", "Toner", "Norland C360 toner, black, 9,000 pages", 129, 82, "cartridge", 1,
         K::Consumable, 0, false},
        {"NT-360C", "Toner", "Norland C360 toner, colour set (C, M, Y)", 339, 218, "set", 1,
         K::Consumable, 0, false},
        {"PA-A4-80", "Paper", "Copy paper A4 80 gsm, carton of 5 reams", 34.5, 24.2, "carton", 3,
         K::Consumable, 0, false},
        {"PA-A3-80", "Paper", "Copy paper A3 80 gsm, carton of 5 reams", 69, 48.3, "carton", 3,
         K::Consumable, 0, false},
        {"PA-A4-100", "Paper", "Premium laser paper A4 100 gsm, ream", 14.9, 9.6, "ream", 3,
         K::Consumable, 0, false},
        {"PA-ROLL36", "Paper", "Plan paper roll 36 inch x 50 m", 58, 37, "roll", 3, K::Consumable,
         0, false},
        {"SB-OIL", "Consumables", "Shredder oil, 350 ml", 18.5, 9.8, "bottle", 4, K::Consumable, 0,
         false},
        {"SB-BAGS", "Consumables", "Shredder bags, pack of 50", 42, 23, "pack", 4, K::Consumable, 0,
         false},
        {"KP-DRUM", "Parts", "Kestrel drum unit, C-series", 420, 265, "each", 5, K::Part, 0, false},
        {"KP-FUSER", "Parts", "Kestrel fuser unit, C-series", 610, 398, "each", 5, K::Part, 0,
         false},
        {"KP-ROLLER", "Parts", "Kestrel paper feed roller kit", 85, 41, "kit", 5, K::Part, 0,
         false},
        {"KP-TRANS", "Parts", "Kestrel transfer belt, C-series", 540, 352, "each", 5, K::Part, 0,
         false},
        {"NP-MK420", "Parts", "Norland M420 maintenance kit (fuser and rollers)", 260, 161, "kit",
         5, K::Part, 0, false},
        {"SP-BLADE", "Parts", "Sapphire cutter block, X-series", 310, 190, "each", 5, K::Part, 0,
         false},
        {"SV-LABOUR", "Service", "Service labour, per hour", 120, 55, "hour", 0, K::Service, 0,
         false},
        {"SV-INSTALL", "Service", "Delivery, installation and network set-up", 350, 140, "each", 0,
         K::Service, 0, false},
        {"SV-TRAIN", "Service", "On-site user training, per hour", 110, 50, "hour", 0, K::Service,
         0, false},
        {"SV-RELOC", "Service", "Relocation of a machine within the metropolitan area", 280, 120,
         "each", 0, K::Service, 0, false},
        {"SV-CALLOUT", "Service", "After-hours call-out fee", 180, 80, "each", 0, K::Service, 0,
         false},
        {"SV-CONTRACT", "Service", "Service contract, twelve months", 1800, 700, "year", 0,
         K::Service, 0, false},
    };
    return all;
}

const std::vector<Place>& places() {
    static const std::vector<Place> all = {
        {"Sydney", "NSW", "2000", "City", "(02)", "AEST", "Australia"},
        {"Surry Hills", "NSW", "2010", "City", "(02)", "AEST", "Australia"},
        {"Pyrmont", "NSW", "2009", "City", "(02)", "AEST", "Australia"},
        {"Ultimo", "NSW", "2007", "City", "(02)", "AEST", "Australia"},
        {"North Sydney", "NSW", "2060", "North", "(02)", "AEST", "Australia"},
        {"Chatswood", "NSW", "2067", "North", "(02)", "AEST", "Australia"},
        {"Hornsby", "NSW", "2077", "North", "(02)", "AEST", "Australia"},
        {"Brookvale", "NSW", "2100", "North", "(02)", "AEST", "Australia"},
        {"Macquarie Park", "NSW", "2113", "North", "(02)", "AEST", "Australia"},
        {"Parramatta", "NSW", "2150", "West", "(02)", "AEST", "Australia"},
        {"Blacktown", "NSW", "2148", "West", "(02)", "AEST", "Australia"},
        {"Penrith", "NSW", "2750", "West", "(02)", "AEST", "Australia"},
        {"Liverpool", "NSW", "2170", "West", "(02)", "AEST", "Australia"},
        {"Smithfield", "NSW", "2164", "West", "(02)", "AEST", "Australia"},
        {"Castle Hill", "NSW", "2154", "West", "(02)", "AEST", "Australia"},
        {"Hurstville", "NSW", "2220", "South", "(02)", "AEST", "Australia"},
        {"Sutherland", "NSW", "2232", "South", "(02)", "AEST", "Australia"},
        {"Kogarah", "NSW", "2217", "South", "(02)", "AEST", "Australia"},
        {"Mascot", "NSW", "2020", "South", "(02)", "AEST", "Australia"},
        {"Bondi Junction", "NSW", "2022", "East", "(02)", "AEST", "Australia"},
        {"Randwick", "NSW", "2031", "East", "(02)", "AEST", "Australia"},
        {"Double Bay", "NSW", "2028", "East", "(02)", "AEST", "Australia"},
        {"Newcastle", "NSW", "2300", "Regional", "(02)", "AEST", "Australia"},
        {"Wollongong", "NSW", "2500", "Regional", "(02)", "AEST", "Australia"},
        {"Gosford", "NSW", "2250", "Regional", "(02)", "AEST", "Australia"},
        {"Orange", "NSW", "2800", "Regional", "(02)", "AEST", "Australia"},
        {"Dubbo", "NSW", "2830", "Regional", "(02)", "AEST", "Australia"},
        {"Wagga Wagga", "NSW", "2650", "Regional", "(02)", "AEST", "Australia"},
        {"Canberra", "ACT", "2600", "Interstate", "(02)", "AEST", "Australia"},
        {"Melbourne", "VIC", "3000", "Interstate", "(03)", "AEST", "Australia"},
        {"Geelong", "VIC", "3220", "Interstate", "(03)", "AEST", "Australia"},
        {"Brisbane", "QLD", "4000", "Interstate", "(07)", "AEST", "Australia"},
        {"Gold Coast", "QLD", "4217", "Interstate", "(07)", "AEST", "Australia"},
        {"Adelaide", "SA", "5000", "Interstate", "(08)", "ACST", "Australia"},
        {"Perth", "WA", "6000", "Interstate", "(08)", "AWST", "Australia"},
        {"Hobart", "TAS", "7000", "Interstate", "(03)", "AEST", "Australia"},
        {"Auckland", "AKL", "1010", "Interstate", "+64 9", "NZST", "New Zealand"},
        {"Wellington", "WGN", "6011", "Interstate", "+64 4", "NZST", "New Zealand"},
    };
    return all;
}

const std::vector<Industry>& industries() {
    static const std::vector<Industry> all = {
        {"Accounting",
         {"Accountants", "Tax & Accounting", "Bookkeeping", "Chartered Accountants",
          "Financial Services"}},
        {"Construction",
         {"Constructions", "Builders", "Architects", "Electrical", "Plumbing & Gas", "Joinery",
          "Civil"}},
        {"Education",
         {"College", "Learning Centre", "Early Learning", "Tutoring", "Training Institute",
          "Music School"}},
        {"Government",
         {"Community Services", "Library", "Visitor Centre", "Water Authority", "Planning Office"}},
        {"Health",
         {"Medical Centre", "Dental", "Physiotherapy", "Pharmacy", "Veterinary Clinic", "Radiology",
          "Aged Care"}},
        {"Hospitality",
         {"Hotel", "Restaurant", "Café", "Bowling Club", "Function Centre", "Motor Inn"}},
        {"Legal", {"Lawyers", "Legal", "Solicitors", "Conveyancing"}},
        {"Manufacturing",
         {"Engineering", "Plastics", "Metal Fabrication", "Printing", "Furniture", "Foods"}},
        {"Non-profit",
         {"Foundation", "Community Association", "Rotary Club", "Parish Office",
          "Surf Life Saving Club"}},
        {"Real Estate", {"Real Estate", "Property Group", "Realty", "Strata Management"}},
        {"Retail",
         {"Hardware", "Florist", "Bookshop", "Outdoor Supplies", "Menswear", "Cycles",
          "Pet Supplies"}},
        {"Transport", {"Logistics", "Freight", "Couriers", "Transport", "Removals"}},
        {"Wholesale", {"Distributors", "Imports", "Trading", "Wholesale", "Supplies"}},
    };
    return all;
}

const std::vector<FirstName>& firstNames() {
    static const std::vector<FirstName> all = {
        {"James", false},   {"Olivia", true},   {"William", false},  {"Charlotte", true},
        {"Jack", false},    {"Amelia", true},   {"Noah", false},     {"Isla", true},
        {"Thomas", false},  {"Mia", true},      {"Lachlan", false},  {"Grace", true},
        {"Oliver", false},  {"Chloe", true},    {"Ethan", false},    {"Sophie", true},
        {"Liam", false},    {"Emily", true},    {"Henry", false},    {"Zoë", true},
        {"Samuel", false},  {"Hannah", true},   {"Daniel", false},   {"Jessica", true},
        {"Matthew", false}, {"Sarah", true},    {"Andrew", false},   {"Rebecca", true},
        {"Michael", false}, {"Emma", true},     {"Peter", false},    {"Karen", true},
        {"Stephen", false}, {"Michelle", true}, {"Mark", false},     {"Nicole", true},
        {"Paul", false},    {"Lisa", true},     {"Anthony", false},  {"Rachel", true},
        {"Wei", false},     {"Mei", true},      {"Arjun", false},    {"Priya", true},
        {"Minh", false},    {"Linh", true},     {"Mohammed", false}, {"Fatima", true},
        {"Giorgos", false}, {"Eleni", true},    {"José", false},     {"Lucia", true},
        {"Hamish", false},  {"Fiona", true},    {"Ciarán", false},   {"Aoife", true},
        {"Hiroshi", false}, {"Yuki", true},     {"Tane", false},     {"Aroha", true},
    };
    return all;
}

const QStringList& surnames() {
    static const QStringList all = {
        "Smith",        "Jones",      "Williams",  "Brown",       "Wilson",   "Taylor",
        "Johnson",      "White",      "Martin",    "Anderson",    "Thompson", "Nguyen",
        "Thomas",       "Walker",     "Harris",    "Lee",         "Ryan",     "Robinson",
        "Kelly",        "King",       "Davis",     "Wright",      "Evans",    "Roberts",
        "Green",        "Hall",       "Wood",      "Jackson",     "Clarke",   "Patel",
        "Khan",         "Lewis",      "James",     "Phillips",    "Mitchell", "Campbell",
        "Murphy",       "O'Brien",    "O'Connor",  "O'Neill",     "D'Souza",  "D'Arcy",
        "McDonald",     "MacKenzie",  "Fraser",    "Stewart",     "Singh",    "Chen",
        "Wang",         "Li",         "Zhang",     "Tran",        "Pham",     "Le",
        "Papadopoulos", "Nikolaidis", "Rossi",     "Russo",       "Esposito", "Costa",
        "Silva",        "Schmidt",    "Müller",    "Kowalski",    "Novak",    "Horvat",
        "Kaur",         "Sharma",     "Gupta",     "Hussein",     "Haddad",   "Nakamura",
        "Sato",         "Kim",        "Park",      "Te Whare",    "Ngata",    "Hartley",
        "Whitfield",    "Ashworth",   "Blackwood", "Fairweather", "Langford", "Pemberton",
        "Sinclair",     "Holloway",   "Forsyth",   "Galloway",    "Kingsley", "Marchetti",
    };
    return all;
}

const QStringList& brandWords() {
    static const QStringList all = {
        "Bluegum",   "Harbourside", "Ironbark",       "Wattle",     "Southern Cross", "Coastline",
        "Redgum",    "Banksia",     "Kookaburra",     "Summit",     "Pacific",        "Greenway",
        "Horizon",   "Sandstone",   "Riverbend",      "Northpoint", "Westgate",       "Eastside",
        "Tidewater", "Silver Oak",  "Blue Mountains", "Lakeside",   "Hilltop",        "Clearwater",
        "Boomerang", "Emu Plains",  "Galaxy",         "Keystone",   "Lighthouse",     "Magpie",
        "Orbit",     "Pinnacle",    "Quantum",        "Rosella",    "Saltbush",       "Tallowood",
        "Unity",     "Vantage",     "Waratah",        "Yarra",      "Zenith",         "Acacia",
    };
    return all;
}

const QStringList& streetNames() {
    static const QStringList all = {
        "George",     "Pitt",       "Elizabeth",  "Macquarie", "King",     "Queen",   "Victoria",
        "Church",     "Market",     "Bridge",     "Station",   "High",     "Railway", "Park",
        "Hunter",     "Kent",       "Sussex",     "Clarence",  "Military", "Pacific", "Parramatta",
        "Princes",    "Oxford",     "Crown",      "Harris",    "Wattle",   "Banksia", "Jacaranda",
        "Industrial", "Commercial", "Enterprise", "Forge",     "Foundry",  "Mill",    "Dock",
        "Anzac",      "Bay",        "Beach",      "Ocean",     "Hill",     "Ridge",   "Valley",
    };
    return all;
}

const QStringList& streetTypes() {
    static const QStringList all = {"Street", "Street", "Street", "Road",  "Road",  "Avenue",
                                    "Parade", "Lane",   "Drive",  "Place", "Close", "Highway"};
    return all;
}

const std::vector<Campaign>& campaigns() {
    static const std::vector<Campaign> all = {
        {"Colour Upgrade Drive", "Move mono copier customers to colour multifunction machines", 700,
         90, 12000, 250000},
        {"Trade-In Autumn", "Trade-in allowance on any copier older than five years", 520, 60, 8000,
         180000},
        {"Managed Print Launch", "Cost-per-page managed print contracts for offices", 400, 120,
         15000, 300000},
        {"Education Sector Mailout", "Letters and follow-up calls to schools and colleges", 300, 45,
         4000, 90000},
        {"Toner Loyalty Offer", "Free delivery and 5% off toner ordered every quarter", 200, 180,
         3000, 60000},
        {"Secure Shredding Month", "Shredder demonstrations for legal and health practices", 90, 30,
         2500, 40000},
        {"Website Enquiries", "Leads from the contact form on our website", 730, 1095, 1500,
         120000},
    };
    return all;
}

const std::vector<RoleTitles>& roles() {
    static const std::vector<RoleTitles> all = {
        {"Owner", {"Managing Director", "Owner", "Principal", "Director"}},
        {"Decision Maker",
         {"Operations Manager", "Practice Manager", "General Manager", "Business Manager"}},
        {"Purchasing", {"Purchasing Officer", "Procurement Manager", "Buyer"}},
        {"Accounts Payable", {"Accounts Officer", "Bookkeeper", "Finance Manager"}},
        {"Office Manager", {"Office Manager", "Office Administrator"}},
        {"IT Contact", {"IT Manager", "Systems Administrator", "IT Support Officer"}},
        {"Key User", {"Administration Assistant", "Executive Assistant", "Team Leader"}},
        {"Reception", {"Receptionist", "Front Desk Coordinator"}},
    };
    return all;
}

const QStringList& topicsFor(const QString& activityType) {
    static const QHash<QString, QStringList> topics = {
        {"Call",
         {"Checked how the %1 is performing", "Discussed toner usage and ordering",
          "Followed up the quotation for the %1", "Asked about a second machine for the branch",
          "Confirmed delivery time for the %1", "Renewal of the service contract discussed",
          "Called about the meter reading", "Answered questions about scanning to e-mail",
          "Introduced our managed print offer", "Arranged a demonstration of the %1"}},
        {"Internet Email",
         {"Sent the price list and brochure for the %1", "Sent the quotation by e-mail",
          "Replied to a question about paper sizes", "Sent scanning set-up instructions",
          "Confirmed the service visit time", "Sent the contract renewal details"}},
        {"Meeting",
         {"Reviewed the office's printing needs", "Presented the %1 to the partners",
          "Quarterly account review", "Met the new office manager",
          "Negotiated the trade-in of the old copier",
          "Walked through the managed print proposal"}},
        {"Service Visit",
         {"Replaced the fuser on the %1", "Cleared a recurring paper jam in tray 2",
          "Preventive maintenance on the %1", "Replaced the drum unit", "Fixed streaks on copies",
          "Installed a firmware update", "Adjusted registration and colour balance"}},
        {"Letter",
         {"Welcome letter sent", "Contract renewal letter sent", "Price change notice sent",
          "Thank-you letter after the installation"}},
        {"Fax", {"Faxed the signed order form", "Faxed the delivery docket"}},
        {"Demonstration",
         {"Showroom demonstration of the %1", "On-site demonstration of the %1",
          "Demonstrated secure print release"}},
        {"Follow Up",
         {"Followed up after the service visit", "Followed up the unanswered quotation",
          "Checked the customer is happy with the %1", "Followed up the overdue invoice"}},
        {"Training",
         {"Trained staff on the %1", "Scan-to-folder training for reception",
          "Trained the key user on booklet finishing"}},
        {"Payment", {"Payment received by EFT", "Cheque received for the last invoice"}},
    };
    static const QStringList general = {"Spoke with the customer"};
    const auto it = topics.constFind(activityType);
    return it == topics.constEnd() ? general : *it;
}

const QStringList& referralSources() {
    static const QStringList all = {"Website enquiry",  "Yellow Pages", "Existing customer",
                                    "Trade show",       "Cold call",    "Local chamber of commerce",
                                    "Supplier referral"};
    return all;
}

const QStringList& competitors() {
    static const QStringList all = {"Metro Copier Centre",         "Citywide Business Machines",
                                    "Print & Copy Direct",         "Online retailer",
                                    "Manufacturer's direct sales", "None known"};
    return all;
}

const QStringList& requestSummaries(const QString& requestType) {
    static const QHash<QString, QStringList> summaries = {
        {"Breakdown",
         {"Machine shows error code C-2801", "Copier will not power on", "Stuck on warming up",
          "Loud grinding noise from the drum"}},
        {"Print Quality",
         {"Streaks down the page", "Colour prints are faint", "Smudged copies from the feeder",
          "Grey background on copies"}},
        {"Paper Jam",
         {"Repeated jams in tray 2", "Jams in the finisher", "Envelopes jam in the bypass tray"}},
        {"Installation",
         {"Install the new machine and connect to the network", "Deliver and set up the printers"}},
        {"Relocation", {"Move the copier to level 2", "Move the machine to the new office"}},
        {"Maintenance", {"Six-monthly preventive maintenance", "Annual service due"}},
        {"Network Setup",
         {"Scan to e-mail stopped working", "Add printer to new computers",
          "Set up scan to folder for accounts"}},
        {"Supplies", {"Black toner needed urgently", "Order a full set of colour toners"}},
        {"Meter Reading", {"Quarterly meter reading", "Meter reading for contract billing"}},
        {"Training", {"Train new staff on the copier", "Show users secure print release"}},
        {"Enquiry", {"Question about duplex settings", "How to print on A3 from a Mac"}},
    };
    static const QStringList general = {"Service needed"};
    const auto it = summaries.constFind(requestType);
    return it == summaries.constEnd() ? general : *it;
}

const QStringList& resolutionTexts() {
    static const QStringList all = {
        "Replaced the worn part and tested with 200 copies.",
        "Cleaned the paper path and adjusted the feed rollers; no further jams.",
        "Updated the firmware and reset the network settings.",
        "Showed the users the correct settings; left a quick guide beside the machine.",
        "Replaced the drum and toner; print quality back to normal.",
        "Could not reproduce the fault after cleaning; asked the customer to call if it returns.",
    };
    return all;
}

}  // namespace tv::data::demo
